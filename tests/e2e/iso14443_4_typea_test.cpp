// Type A processor cards end to end: activation, APDUs, block-level
// exchange and deselect; refusals of over-long APDUs.
#include "processor_test_support.h"

using ptest::h;

namespace {

class TypeA : public ptest::ProcessorTest {};

TEST_F(TypeA, ResetAnswersUidAndAtsThenCarriesApdus) {
    place("cpu-a:uid=04A1B2C3,ats=0578807002");
    family('A');
    ASSERT_EQ(rf_typea_rst(0, 0x52, buffer, &length), 0);
    EXPECT_EQ(answer(), "04 A1 B2 C3 05 78 80 70 02");
    const unsigned char select[] = {0x00, 0xA4, 0x00, 0x00, 0x02, 0xDF, 0x01};
    ASSERT_EQ(rf_cos_command(0, select, sizeof select, buffer, &length), 0);
    EXPECT_EQ(sim::hex(sim::Bytes(buffer + length - 2, buffer + length)), "90 00");
    const unsigned char unknown[] = {0x00, 0xCA, 0x00, 0x00, 0x00};
    ASSERT_EQ(rf_cos_command(0, unknown, sizeof unknown, buffer, &length), 0);
    EXPECT_EQ(answer(), "6D 00");
    EXPECT_EQ(sent(), (std::vector<std::string>{wire(0x53, "52"), wire(0x54, "00A4000002DF01"),
                                                wire(0x54, "00CA000000")}));
}

TEST_F(TypeA, NoCardAndNoActivation) {
    family('A');
    EXPECT_EQ(rf_typea_rst(0, 0x52, buffer, &length), sim::kNoCard);
    const unsigned char apdu[] = {0x00, 0x84, 0x00, 0x00, 0x08};
    EXPECT_EQ(rf_cos_command(0, apdu, sizeof apdu, buffer, &length), sim::kNotActivated);
    place("cpu-a");
    family('B');  // a type A card does not answer under type B
    EXPECT_EQ(rf_cos_command(0, apdu, sizeof apdu, buffer, &length), sim::kNotActivated);
    EXPECT_EQ(rf_GetErrorMessage(), sim::kNotActivated);
}

TEST_F(TypeA, TransceiveCarriesBlocksAndDeselectEndsTheSession) {
    place("cpu-a");
    family('A');
    ASSERT_EQ(rf_typea_rst(0, 0x52, buffer, &length), 0);
    takeRequests();
    const unsigned char block[] = {0x02, 0x00, 0x84, 0x00, 0x00, 0x04};
    ASSERT_EQ(rf_transceive(0, block, sizeof block, buffer, &length), 0);
    ASSERT_EQ(length, 7);
    EXPECT_EQ(buffer[0], 0x02);
    EXPECT_EQ(sim::hex(sim::Bytes(buffer + 5, buffer + 7)), "90 00");
    // The command code 02 goes escaped like any other 02 byte.
    const std::vector<std::string> frames = sent();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], wire(0x02, "020084000004"));
    EXPECT_EQ(frames[0].substr(0, 17), "02 00 00 09 10 02");
    ASSERT_EQ(rf_cl_deselect(0), 0);
    EXPECT_EQ(sent(), std::vector<std::string>{wire(0x6B, "")});
    const unsigned char apdu[] = {0x00, 0x84, 0x00, 0x00, 0x08};
    EXPECT_EQ(rf_cos_command(0, apdu, sizeof apdu, buffer, &length), sim::kNotActivated);
    EXPECT_EQ(rf_cl_deselect(0), sim::kNotActivated);
    // The halted card wakes up with 52 only.
    EXPECT_EQ(rf_typea_rst(0, 0x26, buffer, &length), sim::kNoCard);
    EXPECT_EQ(rf_typea_rst(0, 0x52, buffer, &length), 0);
}

// An I block with the chaining bit (PCB 12) is acknowledged with R(ACK)
// of its block number (A2); the APDU runs when the last part (03) comes.
TEST_F(TypeA, ChainedIBlocksAreAcknowledgedAndRunWhenComplete) {
    place("cpu-a");
    family('A');
    ASSERT_EQ(rf_typea_rst(0, 0x52, buffer, &length), 0);
    const unsigned char first[] = {0x12, 0x00, 0x84, 0x00};
    ASSERT_EQ(rf_transceive(0, first, sizeof first, buffer, &length), 0);
    EXPECT_EQ(sim::hex(sim::Bytes(buffer, buffer + length)), "A2");
    const unsigned char last[] = {0x03, 0x00, 0x04};
    ASSERT_EQ(rf_transceive(0, last, sizeof last, buffer, &length), 0);
    ASSERT_EQ(length, 7);
    EXPECT_EQ(buffer[0], 0x03);
    EXPECT_EQ(sim::hex(sim::Bytes(buffer + 5, buffer + 7)), "90 00");
    // With a CID the acknowledgement carries it too.
    const unsigned char with_cid[] = {0x1A, 0x00, 0x00, 0x84};
    ASSERT_EQ(rf_transceive(0, with_cid, sizeof with_cid, buffer, &length), 0);
    EXPECT_EQ(sim::hex(sim::Bytes(buffer, buffer + length)), "AA 00");
}

TEST_F(TypeA, OverLongApdusAreRefusedUnsent) {
    place("cpu-a");
    family('A');
    ASSERT_EQ(rf_typea_rst(0, 0x52, buffer, &length), 0);
    takeRequests();
    std::vector<unsigned char> big(255, 0x00);
    unsigned char untouched = 0x77;
    EXPECT_EQ(rf_cos_command(0, big.data(), 253, buffer, &untouched), 1);
    EXPECT_EQ(rf_transceive(0, big.data(), 255, buffer, &untouched), 1);
    EXPECT_EQ(rf_sam_cos_2(0, 0, big.data(), 252, buffer, &untouched), 1);
    EXPECT_EQ(rf_typeb_cos(0, 0, big.data(), 252, buffer, &untouched), 1);
    EXPECT_EQ(rf_sam_cos(0, nullptr, 5, buffer, &untouched), 1);
    EXPECT_EQ(rf_cos_command(0, big.data(), 5, nullptr, &untouched), 1);
    EXPECT_EQ(untouched, 0x77);
    EXPECT_TRUE(sent().empty());
    // 252 bytes still fit one frame; the card judges them.
    big[0] = 0x00;
    big[1] = 0xD6;
    big[4] = 247;
    EXPECT_EQ(rf_cos_command(0, big.data(), 252, buffer, &length), 0);
    EXPECT_EQ(answer(), "69 86");
}

}  // namespace

namespace {

// A halted card that is woken and selected again through the type A layer
// has not been activated: it takes no APDU until it is reset again.
TEST_F(TypeA, HaltedAndReselectedCardNeedsActivationAgain) {
    place("cpu-a:uid=04A1B2C3");
    family('A');
    ASSERT_EQ(rf_typea_rst(0, 0x52, buffer, &length), 0);
    ASSERT_EQ(rf_halt(0), 0);
    unsigned char tag_type[2], uid[10], uid_len = 0, sak = 0;
    ASSERT_EQ(rf_request(0, 0x52, tag_type), 0);
    ASSERT_EQ(rf_anticoll(0, 4, uid, &uid_len), 0);
    ASSERT_EQ(rf_select(0, uid, uid_len, &sak), 0);
    const unsigned char apdu[] = {0x00, 0x84, 0x00, 0x00, 0x08};
    EXPECT_EQ(rf_cos_command(0, apdu, sizeof apdu, buffer, &length), sim::kNotActivated);
    ASSERT_EQ(rf_typea_rst(0, 0x52, buffer, &length), 0);
    EXPECT_EQ(rf_cos_command(0, apdu, sizeof apdu, buffer, &length), 0);
}

}  // namespace
