// rf_getlockcardinfo: the composite search on its Mifare and Ultralight
// paths, and each of its negative results.
#include "cards/toolkit.h"
#include "support/sim_fixture.h"
#include "frame_codec.h"

namespace {

using sim::Bytes;

class CardSearch : public kvtest::SimReaderTest {
protected:
    // The command codes of the frames sent since the last call.
    std::vector<int> codes() {
        std::vector<int> out;
        for (const Bytes& frame : takeRequests()) {
            common::FrameDecoder decoder;
            std::vector<common::DecodedFrame> frames;
            decoder.feed(frame.data(), frame.size(), frames);
            out.push_back(frames.empty() ? -1 : frames[0].command.code);
        }
        return out;
    }
    unsigned char uid[10] = {}, length = 0;
    unsigned char tag_type[4] = {0, 0, 0xFF, 0xFF};  // non-zero last bytes: the answer decides
};

// Spoils the reply to the n-th exchange from now (1-based) with a bad checksum.
void spoilReply(sim::DeviceServer& server, int n) {
    for (int i = 1; i <= n; ++i) {
        sim::Fault fault;
        fault.kind = i == n ? sim::Fault::Kind::corrupt_checksum : sim::Fault::Kind::none;
        server.inject(fault);
    }
}

TEST_F(CardSearch, MifarePath) {
    place("mifare1k:uid=0A0B0C0D");
    takeRequests();
    ASSERT_EQ(rf_getlockcardinfo(0, 0x52, uid, &length, tag_type), 0);
    EXPECT_EQ(Bytes(uid, uid + length), (Bytes{0x0A, 0x0B, 0x0C, 0x0D}));
    EXPECT_EQ(Bytes(tag_type, tag_type + 4), (Bytes{0x04, 0x00, 0xFF, 0xFF}));
    EXPECT_EQ(codes(), (std::vector<int>{0x46, 0x47, 0x48}));
    const unsigned char key[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(rf_M1_authentication2(0, 0x60, 4, key), 0) << "the card is selected";
}

TEST_F(CardSearch, UltralightPathByItsAnswer) {
    place("ntag213:uid=04112233445566");
    takeRequests();
    ASSERT_EQ(rf_getlockcardinfo(0, 0x26, uid, &length, tag_type), 0);
    EXPECT_EQ(Bytes(uid, uid + length), (Bytes{0x04, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66}));
    EXPECT_EQ(codes(), (std::vector<int>{0x46, 0x33})) << "never an anticollision";
}

TEST_F(CardSearch, CallersZeroBytesChooseTheUltralightPath) {
    place("mifare1k");
    tag_type[2] = tag_type[3] = 0;
    takeRequests();
    // The Classic card's 4-byte UID fails the Ultralight select.
    EXPECT_EQ(rf_getlockcardinfo(0, 0x52, uid, &length, tag_type), -5);
    EXPECT_EQ(codes(), (std::vector<int>{0x46, 0x33}));
    EXPECT_EQ(length, 4);
}

TEST_F(CardSearch, SevenByteUidOnTheMifarePath) {
    place("mifare4k:uid=04010203040506");
    tag_type[2] = 1;
    EXPECT_EQ(rf_getlockcardinfo(0, 0x52, uid, &length, tag_type), -3);
    EXPECT_EQ(length, 7);
}

TEST_F(CardSearch, NoCardMeansTwoRequestsThenMinusOne) {
    takeRequests();
    EXPECT_EQ(rf_getlockcardinfo(0, 0x52, uid, &length, tag_type), -1);
    EXPECT_EQ(codes(), (std::vector<int>{0x46, 0x46}));
    EXPECT_EQ(rf_GetErrorMessage(), sim::kNoCard);
}

TEST_F(CardSearch, SecondRequestSucceedsAfterAFirstFailure) {
    place("mifare1k");
    spoilReply(*server, 1);
    takeRequests();
    EXPECT_EQ(rf_getlockcardinfo(0, 0x52, uid, &length, tag_type), 0);
    EXPECT_EQ(codes(), (std::vector<int>{0x46, 0x46, 0x47, 0x48}));
}

TEST_F(CardSearch, FailingAnticollisionAndSelect) {
    place("mifare1k");
    spoilReply(*server, 2);
    EXPECT_EQ(rf_getlockcardinfo(0, 0x52, uid, &length, tag_type), -2);
    spoilReply(*server, 3);
    EXPECT_EQ(rf_getlockcardinfo(0, 0x52, uid, &length, tag_type), -4);
    EXPECT_EQ(rf_getlockcardinfo(0, 0x52, uid, &length, tag_type), 0);
}

TEST_F(CardSearch, FailingUltralightSelect) {
    place("ultralight");
    spoilReply(*server, 2);
    EXPECT_EQ(rf_getlockcardinfo(0, 0x52, uid, &length, tag_type), -5);
}

}  // namespace
