// SAM slots and the large contact slot end to end.
#include "processor_test_support.h"

namespace {

class Sam : public ptest::ProcessorTest {};

const unsigned char kChallenge[] = {0x00, 0x84, 0x00, 0x00, 0x08};

TEST_F(Sam, ResetAndApdusInSlotOne) {
    place("sam:slot=1,atr=3B021397");
    ASSERT_EQ(rf_init_sam(0, 1), 0);
    EXPECT_EQ(rf_sam_cos(0, kChallenge, 5, buffer, &length), sim::kNotActivated);
    ASSERT_EQ(rf_sam_rst(0, buffer, &length), 0);
    EXPECT_EQ(answer(), "3B 02 13 97");
    ASSERT_EQ(rf_sam_cos(0, kChallenge, 5, buffer, &length), 0);
    EXPECT_EQ(length, 10);
    EXPECT_EQ(sent(), (std::vector<std::string>{wire(0x36, "01"), wire(0x38, "0084000008"), wire(0x37, ""),
                                                wire(0x38, "0084000008")}));
    EXPECT_EQ(rf_init_sam(0, 3), sim::kBadParameter);
}

TEST_F(Sam, NumberedSlotsAndTheParameterByte) {
    place("sam:slot=4,atr=3B1813AABBCCDDEEFF0011");
    EXPECT_EQ(rf_sam_rst(0, buffer, &length), sim::kSlotEmpty);  // slot 1 is empty
    // SAM number 3 (slot 4) at 38400 baud: 0x31.
    const unsigned char param = 0x31;
    ASSERT_EQ(rf_sam_rst_2(0, &param, 1, buffer, &length), 0);
    EXPECT_EQ(answer(), "3B 18 13 AA BB CC DD EE FF 00 11");
    ASSERT_EQ(rf_sam_cos_2(0, 3, kChallenge, 5, buffer, &length), 0);
    EXPECT_EQ(length, 10);
    EXPECT_EQ(rf_sam_cos_2(0, 2, kChallenge, 5, buffer, &length), sim::kSlotEmpty);
    const unsigned char bad_rate = 0x33;
    EXPECT_EQ(rf_sam_rst_2(0, &bad_rate, 1, buffer, &length), sim::kBadParameter);
    // Reset with PPS: the module's own TA1 (13) is accepted, 18 is not.
    const unsigned char pps[] = {0x3C, 0x10, 0x13};
    ASSERT_EQ(rf_sam_rst_2(0, pps, 3, buffer, &length), 0);
    EXPECT_EQ(length, 11);
    const unsigned char refused[] = {0x3C, 0x10, 0x18};
    EXPECT_EQ(rf_sam_rst_2(0, refused, 3, buffer, &length), sim::kProtocol);
    EXPECT_EQ(rf_sam_cos_2(0, 3, kChallenge, 5, buffer, &length), sim::kNotActivated);
    const unsigned char two[] = {0x30, 0x10};
    EXPECT_EQ(rf_sam_rst_2(0, two, 2, buffer, &length), sim::kBadLength);
    const std::vector<std::string> frames = sent();
    ASSERT_GE(frames.size(), 3u);
    EXPECT_EQ(frames[1], wire(0x19, "31"));
    EXPECT_EQ(frames[2], wire(0x1A, "030084000008"));
}

TEST_F(Sam, SamsDoNotDependOnTheAntenna) {
    place("sam:slot=2");
    const unsigned char param = 0x10;
    ASSERT_EQ(rf_sam_rst_2(0, &param, 1, buffer, &length), 0);
    ASSERT_EQ(rf_antenna_sta(0, 0), 0);
    EXPECT_EQ(rf_sam_cos_2(0, 1, kChallenge, 5, buffer, &length), 0);
    EXPECT_EQ(length, 10);
}

TEST_F(Sam, ContactSlotPowerPresenceAndShort) {
    unsigned char flag = 0x55;
    ASSERT_EQ(rf_ContactCpuCard_In_Check(0, &flag), 0);
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(rf_ContactCpuCard_Power_OnOff(0, 1), sim::kSlotEmpty);
    place("contact:short=1");
    ASSERT_EQ(rf_ContactCpuCard_In_Check(0, &flag), 0);
    EXPECT_EQ(flag, 1);
    ASSERT_EQ(rf_ContactCpuCard_VGShort_Check(0, &flag), 0);
    EXPECT_EQ(flag, 1);
    // The contact card is SAM number 6; it must be powered before reset.
    const unsigned char param = 0x60;
    EXPECT_EQ(rf_sam_rst_2(0, &param, 1, buffer, &length), sim::kNotPowered);
    ASSERT_EQ(rf_ContactCpuCard_Power_OnOff(0, 1), 0);
    // Power on activates the card; a reset by number gives its ATR again.
    const unsigned char balance[] = {0x80, 0x5C, 0x00, 0x02, 0x04};
    ASSERT_EQ(rf_sam_cos_2(0, 6, balance, 5, buffer, &length), 0);
    EXPECT_EQ(answer(), "00 00 00 00 90 00");
    ASSERT_EQ(rf_sam_rst_2(0, &param, 1, buffer, &length), 0);
    EXPECT_EQ(answer(), "3B 18 13 4B 4F 56 41 43 50 55 31");
    ASSERT_EQ(rf_ContactCpuCard_Power_OnOff(0, 0), 0);
    EXPECT_EQ(rf_sam_cos_2(0, 6, balance, 5, buffer, &length), sim::kNotActivated);
    EXPECT_EQ(rf_ContactCpuCard_VGShort_Check(0, nullptr), 1);
    const std::vector<std::string> frames = sent();
    EXPECT_EQ(frames[0], wire(0x92, ""));
    EXPECT_EQ(frames[1], wire(0x90, "01"));
    EXPECT_EQ(frames[3], wire(0x91, ""));
}

}  // namespace
