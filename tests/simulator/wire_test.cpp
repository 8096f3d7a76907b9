// The simulated reader's own frame decoder and encoder, checked against
// frames as the library builds them.
#include <gtest/gtest.h>

#include "server/faults.h"
#include "server/wire.h"

namespace {

using sim::Bytes;

std::vector<sim::DecodedFrame> decode(const Bytes& bytes) {
    sim::FrameDecoder decoder;
    std::vector<sim::DecodedFrame> frames;
    decoder.feed(bytes.data(), bytes.size(), frames);
    return frames;
}

TEST(SimWire, DecodesRequestsAcrossFeedsAndEscapes) {
    const Bytes frame = sim::encodeRequest(0x0203, 0x31, {0x02, 0x03, 0x10, 0xAA});
    sim::FrameDecoder decoder;
    std::vector<sim::DecodedFrame> frames;
    for (std::uint8_t b : frame) decoder.feed(&b, 1, frames);  // one byte per report
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_TRUE(frames[0].ok);
    EXPECT_EQ(frames[0].command.address, 0x0203);
    EXPECT_EQ(frames[0].command.code, 0x31);
    EXPECT_EQ(frames[0].command.payload, (Bytes{0x02, 0x03, 0x10, 0xAA}));
    EXPECT_EQ(frames[0].raw, frame);
}

TEST(SimWire, EncodesTheLibrarysWorkedExample) {
    EXPECT_EQ(sim::encodeRequest(0, 0x1D, {0x0A}), (Bytes{0x02, 0x00, 0x00, 0x04, 0x1D, 0x0A, 0x2B, 0x03}));
    EXPECT_EQ(sim::encodeRequest(0, 0x16, {}), (Bytes{0x02, 0x00, 0x00, 0x10, 0x03, 0x16, 0x19, 0x03}));
}

TEST(SimWire, RejectsBadChecksumAndLengthButKeepsTheHeader) {
    Bytes bad = sim::encodeRequest(5, 0x1D, {0x0A});
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

TEST(SimWire, IgnoresJunkAndRestartsOnStx) {
    Bytes stream{0x55, 0x03, 0x02, 0x00, 0x00};  // junk, then a frame that restarts
    const Bytes good = sim::encodeRequest(0, 0x1D, {0x0A});
    stream.insert(stream.end(), good.begin(), good.end());
    const auto frames = decode(stream);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_TRUE(frames[0].ok);
}

TEST(SimWire, LongPayloadLengthWrapsLikeTheLibrarysByte) {
    const Bytes payload(252, 0x41);
    const auto frames = decode(sim::encodeRequest(0, 0x31, payload));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_TRUE(frames[0].ok);
    EXPECT_EQ(frames[0].command.payload.size(), 252u);
}

TEST(SimWire, RepliesAreCutIntoThirtyOneByteReports) {
    const Bytes reply = sim::encodeReply(0, 0x4B, 0, Bytes(40, 0x11));
    const auto reports = sim::toReports(reply);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].size(), 33u);
    EXPECT_EQ(reports[0][1], 31);
    EXPECT_EQ(reports[1][1], reply.size() - 31);
    EXPECT_EQ(reports[1][32], 0);
}

TEST(SimWire, HexRoundTripRefusesOddAndBadDigits) {
    Bytes out;
    EXPECT_TRUE(sim::parseHex("0a:1B 2c-3D", &out));
    EXPECT_EQ(sim::hex(out), "0A 1B 2C 3D");
    EXPECT_FALSE(sim::parseHex("ABC", &out));
    EXPECT_FALSE(sim::parseHex("GG", &out));
}

TEST(SimFaults, ParsesEveryKindAndRefusesNonsense) {
    sim::Fault f;
    std::string why;
    ASSERT_TRUE(sim::Fault::parse("split=1:250*3", &f, &why)) << why;
    EXPECT_EQ(f.kind, sim::Fault::Kind::split);
    EXPECT_EQ(f.report, 1);
    EXPECT_EQ(f.delay_ms, 250);
    EXPECT_EQ(f.count, 3);
    ASSERT_TRUE(sim::Fault::parse("drop*", &f, &why));
    EXPECT_EQ(f.count, -1);
    for (const char* good : {"delay=10", "truncate=4", "corrupt-checksum", "garbage", "unplug-request",
                             "unplug-reply=0", "wrong-address"}) {
        EXPECT_TRUE(sim::Fault::parse(good, &f, &why)) << good;
    }
    for (const char* bad : {"", "explode", "delay", "delay=x", "split=3", "drop*0", "truncate=-1"}) {
        EXPECT_FALSE(sim::Fault::parse(bad, &f, &why)) << bad;
    }
}

}  // namespace
