// The toolkit's own frame decoder and encoders (the simulator's side of
// the wire), checked against frames as the library builds them.
#include <gtest/gtest.h>

#include "frame_codec.h"

namespace {

using common::Bytes;

std::vector<common::DecodedFrame> decode(const Bytes& bytes) {
    common::FrameDecoder decoder;
    std::vector<common::DecodedFrame> frames;
    decoder.feed(bytes.data(), bytes.size(), frames);
    return frames;
}

TEST(FrameCodec, DecodesRequestsAcrossFeedsAndEscapes) {
    const Bytes frame = common::encodeRequest(0x0203, 0x31, {0x02, 0x03, 0x10, 0xAA});
    common::FrameDecoder decoder;
    std::vector<common::DecodedFrame> frames;
    for (std::uint8_t b : frame) decoder.feed(&b, 1, frames);  // one byte per report
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_TRUE(frames[0].ok);
    EXPECT_EQ(frames[0].command.address, 0x0203);
    EXPECT_EQ(frames[0].command.code, 0x31);
    EXPECT_EQ(frames[0].command.payload, (Bytes{0x02, 0x03, 0x10, 0xAA}));
    EXPECT_EQ(frames[0].raw, frame);
}

TEST(FrameCodec, EncodesTheLibrarysWorkedExample) {
    EXPECT_EQ(common::encodeRequest(0, 0x1D, {0x0A}), (Bytes{0x02, 0x00, 0x00, 0x04, 0x1D, 0x0A, 0x2B, 0x03}));
    EXPECT_EQ(common::encodeRequest(0, 0x16, {}), (Bytes{0x02, 0x00, 0x00, 0x10, 0x03, 0x16, 0x19, 0x03}));
}

TEST(FrameCodec, RejectsBadChecksumAndLengthButKeepsTheHeader) {
    Bytes bad = common::encodeRequest(5, 0x1D, {0x0A});
    bad[bad.size() - 2] ^= 0x01;
    auto frames = decode(bad);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_FALSE(frames[0].ok);
    EXPECT_EQ(frames[0].error, "checksum");
    EXPECT_EQ(frames[0].command.address, 5);

    // Length byte says 5 for a one-byte payload; checksum made consistent.
    frames = decode({0x02, 0x00, 0x00, 0x05, 0x1D, 0x0A, 0x2C, 0x03});
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].error, "length byte");
}

TEST(FrameCodec, IgnoresJunkAndRestartsOnStx) {
    Bytes stream{0x55, 0x03, 0x02, 0x00, 0x00};  // junk, then a frame that restarts
    const Bytes good = common::encodeRequest(0, 0x1D, {0x0A});
    stream.insert(stream.end(), good.begin(), good.end());
    const auto frames = decode(stream);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_TRUE(frames[0].ok);
}

TEST(FrameCodec, LongPayloadLengthWrapsLikeTheLibrarysByte) {
    const Bytes payload(252, 0x41);
    const auto frames = decode(common::encodeRequest(0, 0x31, payload));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_TRUE(frames[0].ok);
    EXPECT_EQ(frames[0].command.payload.size(), 252u);
}

TEST(FrameCodec, DecodesRepliesWithTheirStatus) {
    // Reply body: address, length n + 3, command, status, n payload bytes,
    // checksum 0x90; the address's low byte 02 goes escaped.
    const Bytes reply = common::encodeReply(0x0102, 0x4B, 0x0A, {0x11, 0x22});
    EXPECT_EQ(reply, (Bytes{0x02, 0x10, 0x02, 0x01, 0x05, 0x4B, 0x0A, 0x11, 0x22, 0x90, 0x03}));
    common::FrameDecoder decoder(common::FrameKind::reply);
    std::vector<common::DecodedFrame> frames;
    decoder.feed(reply.data(), reply.size(), frames);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_TRUE(frames[0].ok) << frames[0].error;
    EXPECT_EQ(frames[0].command.address, 0x0102);
    EXPECT_EQ(frames[0].command.code, 0x4B);
    EXPECT_EQ(frames[0].status, 0x0A);
    EXPECT_EQ(frames[0].command.payload, (Bytes{0x11, 0x22}));
    // A reply's length byte counts one byte less than a request's: a request
    // decoder takes this reply for a frame with a wrong length byte.
    common::FrameDecoder as_request;
    frames.clear();
    as_request.feed(reply.data(), reply.size(), frames);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].error, "length byte");
    // Too short to hold a status.
    frames.clear();
    decoder.feed(common::encodeRequest(0, 0x16, {}).data(), 8, frames);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].error, "frame too short");
}

TEST(FrameCodec, RepliesAreCutIntoThirtyOneByteReports) {
    const Bytes reply = common::encodeReply(0, 0x4B, 0, Bytes(40, 0x11));
    const auto reports = common::toReports(reply);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].size(), 33u);
    EXPECT_EQ(reports[0][1], 31);
    EXPECT_EQ(reports[1][1], reply.size() - 31);
    EXPECT_EQ(reports[1][32], 0);
}

// DLE-escaped bytes count toward the 4096-byte limit like any other: a frame
// of 5000 escaped bytes is dropped, and nothing after it is kept.
TEST(FrameCodec, EscapedBytesCannotGrowAFramePastTheLimit) {
    common::FrameDecoder decoder;
    std::vector<common::DecodedFrame> frames;
    Bytes stream = {0x02};
    for (int i = 0; i < 5000; ++i) stream.insert(stream.end(), {0x10, 0x10});
    stream.push_back(0x03);
    decoder.feed(stream.data(), stream.size(), frames);
    EXPECT_TRUE(frames.empty());
    EXPECT_FALSE(decoder.inFrame());
}

}  // namespace
