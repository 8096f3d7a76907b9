// The frame codec: request encoding with stuffing, reply parsing with
// resynchronisation, and what the accessors read.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "frame.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes encode(std::uint32_t address, std::uint8_t code, const Bytes& payload) {
    kv::CTransData frame(address, code, payload.data(), static_cast<int>(payload.size()));
    return Bytes(frame.request(), frame.request() + frame.requestLength());
}

// Loads raw reply bytes into a frame as the transport would, and parses.
struct Parsed {
    explicit Parsed(const Bytes& raw) : frame(0, 0, nullptr, 0) {
        if (!raw.empty()) std::memcpy(frame.reply(), raw.data(), raw.size());
        *frame.replyLength() = static_cast<int>(raw.size());
        accepted = frame.ParseReply();
    }
    kv::CTransData frame;
    int accepted;
};

TEST(FrameEncode, WorkedExamples) {
    EXPECT_EQ(encode(0, 0x1D, {0x0A}), (Bytes{0x02, 0x00, 0x00, 0x04, 0x1D, 0x0A, 0x2B, 0x03}));
    // No payload: the length 03 is escaped.
    EXPECT_EQ(encode(0, 0x16, {}), (Bytes{0x02, 0x00, 0x00, 0x10, 0x03, 0x16, 0x19, 0x03}));
    // The checksum 10 is escaped.
    EXPECT_EQ(encode(0, 0x1D, {0xEF}), (Bytes{0x02, 0x00, 0x00, 0x04, 0x1D, 0xEF, 0x10, 0x10, 0x03}));
    // The address low byte 02 is escaped.
    EXPECT_EQ(encode(0x0102, 0x3A, {0x41}), (Bytes{0x02, 0x10, 0x02, 0x01, 0x04, 0x3A, 0x41, 0x82, 0x03}));
}

TEST(FrameEncode, EscapesBothAddressBytesAndThirteenByteLength) {
    const Bytes both = encode(0x0203, 0x14, {});
    EXPECT_EQ(Bytes(both.begin(), both.begin() + 5), (Bytes{0x02, 0x10, 0x03, 0x10, 0x02}));

    const Bytes thirteen = encode(0, 0x20, Bytes(13, 0x00));
    EXPECT_EQ(thirteen[3], 0x10);
    EXPECT_EQ(thirteen[4], 0x10);  // length 0x10 sent as 10 10
}

TEST(FrameEncode, PayloadBytesThatLookLikeFramingAreStuffed) {
    const Bytes frame = encode(0, 0x31, {0x02, 0x03, 0x10});
    // STX, 00, 00, 06, 31, DLE 02, DLE 03, DLE 10, checksum 4C, ETX
    EXPECT_EQ(frame, (Bytes{0x02, 0x00, 0x00, 0x06, 0x31, 0x10, 0x02, 0x10, 0x03, 0x10, 0x10, 0x4C, 0x03}));
}

TEST(FrameEncode, AddressUsesOnlyLowSixteenBits) {
    EXPECT_EQ(encode(0x12340005, 0x1D, {0x01}), encode(0x0005, 0x1D, {0x01}));
}

TEST(FrameEncode, WorstCaseFrameIsEncodedWhole) {
    // Counted by hand: STX and ETX 2, address 10 10 escaped 4, length FF 1,
    // command 10 escaped 2, 252 payload bytes 10 escaped 504, checksum
    // (10 + 10 + FF + 10 + 252 x 10) & FF = EF 1: 514 bytes.
    const Bytes all_dle(252, 0x10);
    const Bytes frame = encode(0x1010, 0x10, all_dle);
    ASSERT_EQ(frame.size(), 514u);
    EXPECT_EQ(frame[512], 0xEF);
    EXPECT_EQ(frame[513], 0x03);
}

TEST(FrameEncode, RebuildReplacesTheRequestAndClearsTheReply) {
    kv::CTransData frame(0, 0x1D, nullptr, 0);
    frame.reply()[0] = 0x55;
    *frame.replyLength() = 1;
    const std::uint8_t payload[] = {0x0A};
    frame.Rebuild(0, 0x1D, payload, 1);
    EXPECT_EQ(Bytes(frame.request(), frame.request() + frame.requestLength()),
              (Bytes{0x02, 0x00, 0x00, 0x04, 0x1D, 0x0A, 0x2B, 0x03}));
    EXPECT_EQ(*frame.replyLength(), 0);
    EXPECT_EQ(frame.reply()[0], 0);
}

// A second exchange on the same frame object whose transport fails must not
// report the first exchange's status 0.
TEST(FrameEncode, RebuildForgetsTheParsedReplysStatus) {
    Parsed p({0x02, 0x00, 0x00, 0x10, 0x03, 0x00, 0x00, 0x10, 0x03, 0x03});  // status 0, no payload
    ASSERT_EQ(p.accepted, 1);
    ASSERT_EQ(p.frame.GetStatus(), 0);
    p.frame.Rebuild(0, 0x54, nullptr, 0);
    EXPECT_EQ(p.frame.GetStatus(), 1);
}

TEST(FrameParse, WorkedReplyUnescapesPayload) {
    Parsed p({0x02, 0x00, 0x00, 0x05, 0x00, 0x00, 0x01, 0x10, 0x02, 0x08, 0x03});
    ASSERT_EQ(p.accepted, 1);
    EXPECT_EQ(p.frame.GetStatus(), 0);
    EXPECT_EQ(p.frame.GetDataLength(), 2);
    std::uint8_t data[2] = {};
    EXPECT_EQ(p.frame.CopyData(data, 2), 1);
    EXPECT_EQ(data[0], 0x01);
    EXPECT_EQ(data[1], 0x02);
    EXPECT_EQ(*p.frame.replyLength(), 11);  // the raw count is kept
}

TEST(FrameParse, ResynchronisesOnTheLastUnescapedStx) {
    const Bytes good{0x02, 0x00, 0x00, 0x05, 0x00, 0x00, 0x01, 0x10, 0x02, 0x08, 0x03};
    Bytes garbage{0x55, 0xAA, 0x03};
    garbage.insert(garbage.end(), good.begin(), good.end());
    EXPECT_EQ(Parsed(garbage).accepted, 1);

    Bytes restarted{0x02, 0x00, 0x00, 0x07};  // an incomplete frame, then a whole one
    restarted.insert(restarted.end(), good.begin(), good.end());
    EXPECT_EQ(Parsed(restarted).accepted, 1);
}

TEST(FrameParse, DleOutsideAFrameEscapesTheStx) {
    // 10 02 is data outside a frame: no frame opens, so the reply is rejected.
    Parsed p({0x10, 0x02, 0x00, 0x00, 0x05, 0x00, 0x00, 0x01, 0x11, 0x03});
    EXPECT_EQ(p.accepted, 0);
    EXPECT_EQ(p.frame.GetStatus(), 1);
}

TEST(FrameParse, RejectsBadChecksumAndWrongLength) {
    // status 0x0A, no payload: body 00 00 03 00 0A 0D
    const Bytes good{0x02, 0x00, 0x00, 0x10, 0x03, 0x00, 0x0A, 0x0D, 0x03};
    Parsed ok(good);
    ASSERT_EQ(ok.accepted, 1);
    EXPECT_EQ(ok.frame.GetStatus(), 0x0A);

    Bytes flipped = good;
    flipped[7] ^= 0x01;
    EXPECT_EQ(Parsed(flipped).frame.GetStatus(), 1);

    // Length byte one too high and one too low, checksums fixed up.
    EXPECT_EQ(Parsed({0x02, 0x00, 0x00, 0x04, 0x00, 0x0A, 0x0E, 0x03}).frame.GetStatus(), 1);
    EXPECT_EQ(Parsed({0x02, 0x00, 0x00, 0x10, 0x02, 0x00, 0x0A, 0x0C, 0x03}).frame.GetStatus(), 1);
}

TEST(FrameParse, EmptyOrUnterminatedRepliesFail) {
    EXPECT_EQ(Parsed({}).accepted, 0);
    Parsed open({0x02, 0x00, 0x00, 0x10, 0x03, 0x00, 0x00});
    EXPECT_EQ(open.accepted, 0);
    EXPECT_EQ(*open.frame.replyLength(), 5);  // what was collected
    EXPECT_EQ(open.frame.GetStatus(), 1);
}

TEST(FrameParse, BodiesTooShortToCarryAStatusAreRejected) {
    // L = 2 passes both the checksum and the length test, but byte 4 would be
    // the checksum, not a status.
    EXPECT_EQ(Parsed({0x02, 0x00, 0x00, 0x10, 0x02, 0x00, 0x10, 0x02, 0x03}).accepted, 0);
    // L = 0 and L = 1 likewise.
    EXPECT_EQ(Parsed({0x02, 0x00, 0x00, 0x00, 0x03}).accepted, 0);
    EXPECT_EQ(Parsed({0x02, 0x00, 0x00, 0x01, 0x01, 0x03}).accepted, 0);
}

TEST(FrameParse, LengthThreeMeansNoData) {
    Parsed p({0x02, 0x00, 0x00, 0x10, 0x03, 0x00, 0x00, 0x10, 0x03, 0x03});
    ASSERT_EQ(p.accepted, 1);
    EXPECT_EQ(p.frame.GetDataLength(), 0);
    std::uint8_t untouched = 0x77;
    EXPECT_EQ(p.frame.CopyData(&untouched, 1), 0);
    EXPECT_EQ(untouched, 0x77);
}

TEST(FrameParse, ReplyAddressAndWholeBody) {
    // From address 0x1234, status 0, payload AB.
    Parsed p({0x02, 0x34, 0x12, 0x04, 0x5A, 0x00, 0xAB, 0x4F, 0x03});
    ASSERT_EQ(p.accepted, 1);
    EXPECT_EQ(p.frame.GetReplyAddress(), 0x1234);
    std::uint8_t body[258] = {};
    EXPECT_EQ(p.frame.CopyReplyBody(body), 1);
    EXPECT_EQ(Bytes(body, body + 7), (Bytes{0x34, 0x12, 0x04, 0x5A, 0x00, 0xAB, 0x4F}));
}

TEST(FrameParse, NeverReadsOrWritesPastTheBuffer) {
    kv::CTransData frame(0, 0, nullptr, 0);
    std::memset(frame.reply(), 0x02, kv::kFrameBuffer);
    *frame.replyLength() = 5000;  // more than the buffer: clamped
    EXPECT_EQ(frame.ParseReply(), 0);
    *frame.replyLength() = -3;
    EXPECT_EQ(frame.ParseReply(), 0);
}

TEST(FrameStatus, DestructorRecordsTheLastStatus) {
    kv::g_lastStatus = 99;
    { Parsed p({0x02, 0x00, 0x00, 0x10, 0x03, 0x00, 0x0A, 0x0D, 0x03}); }
    EXPECT_EQ(kv::g_lastStatus, 0x0A);
    { kv::CTransData never_answered(0, 0x1D, nullptr, 0); }
    EXPECT_EQ(kv::g_lastStatus, 1);
}

}  // namespace
