#include "exchange.h"

#include <gtest/gtest.h>

#include "scripted_device.h"

namespace {

using tavo::IoStatus;
using tavotest::Bytes;
using tavotest::Input;
using tavotest::report;
using tavotest::Script;
using tavotest::ScriptedDevice;
using tavotest::sequence;

constexpr tavo::Timeouts kShort{20, 30};

struct Outcome {
    tavo::ExchangeResult outcome;
    int reply_length = -7;  // untouched marker
    Bytes reply;
};

class ExchangeTest : public ::testing::Test {
protected:
    std::shared_ptr<Script> script = std::make_shared<Script>();
    ScriptedDevice device{script};

    Outcome run(const Bytes& request) {
        Outcome r;
        std::uint8_t reply[tavo::kFrameBuffer + 16];
        std::fill(std::begin(reply), std::end(reply), 0xEE);
        r.outcome = tavo::exchange(device, request.data(), request.size(), reply, &r.reply_length, kShort);
        // Nothing may land past the caller's 1024-byte buffer.
        for (std::size_t i = tavo::kFrameBuffer; i < sizeof reply; ++i) EXPECT_EQ(reply[i], 0xEE) << i;
        if (r.reply_length > 0) r.reply.assign(reply, reply + r.reply_length);
        return r;
    }

    // The data bytes carried by each written report.
    std::vector<std::size_t> chunkCounts() const {
        std::vector<std::size_t> counts;
        for (const Bytes& w : script->written) counts.push_back(w.at(1));
        return counts;
    }
};

Bytes concat(const Bytes& a, const Bytes& b) {
    Bytes r = a;
    r.insert(r.end(), b.begin(), b.end());
    return r;
}

Bytes head(const Bytes& b, std::size_t n) { return Bytes(b.begin(), b.begin() + n); }

// A frame STX .. ETX of n bytes whose inside holds no control bytes.
Bytes frame(std::size_t n) {
    Bytes f = sequence(n, 0x40);
    f.front() = 0x02;
    f.back() = 0x03;
    return f;
}

TEST_F(ExchangeTest, RequestIsCutIntoChunksOf31WithoutAnEmptyLastOne) {
    const std::pair<std::size_t, std::vector<std::size_t>> cases[] = {
        {1, {1}}, {31, {31}}, {32, {31, 1}}, {62, {31, 31}}, {63, {31, 31, 1}}, {1024, std::vector<std::size_t>(33, 31)}};
    for (const auto& c : cases) {
        script = std::make_shared<Script>();
        ScriptedDevice dev(script);
        const Bytes request = sequence(c.first);
        std::uint8_t reply[tavo::kFrameBuffer];
        int length = 0;
        tavo::exchange(dev, request.data(), request.size(), reply, &length, kShort);
        std::vector<std::size_t> expected = c.second;
        if (c.first == 1024) expected.push_back(1024 - 33 * 31);
        EXPECT_EQ(chunkCounts(), expected) << c.first << " bytes";
        Bytes carried;
        for (const Bytes& w : script->written) {
            EXPECT_EQ(w.size(), tavo::kReportSize);
            carried.insert(carried.end(), w.begin() + 2, w.begin() + 2 + w[1]);
        }
        EXPECT_EQ(carried, request);
    }
}

TEST_F(ExchangeTest, FortyBytesGoOutAsTwoFullReportsPaddedWithZeros) {
    const Bytes request = sequence(40);
    run(request);
    ASSERT_EQ(script->written.size(), 2u);
    Bytes first = {0x00, 0x1F};
    first.insert(first.end(), request.begin(), request.begin() + 31);
    Bytes second = {0x00, 0x09};
    second.insert(second.end(), request.begin() + 31, request.end());
    second.resize(33, 0);
    EXPECT_EQ(script->written[0], first);
    EXPECT_EQ(script->written[1], second);
    EXPECT_EQ(script->write_timeouts, (std::vector<int>{kShort.write_ms, kShort.write_ms}));
}

TEST_F(ExchangeTest, ShortFrameGoesOutAsOneReport) {
    run({0x02, 0x00, 0x00, 0x04, 0x1D, 0x0A, 0x2B, 0x03});
    Bytes expected = {0x00, 0x08, 0x02, 0x00, 0x00, 0x04, 0x1D, 0x0A, 0x2B, 0x03};
    expected.resize(33, 0);
    ASSERT_EQ(script->written.size(), 1u);
    EXPECT_EQ(script->written[0], expected);
}

TEST_F(ExchangeTest, ReplyOfThirtyBytesTakesOneRead) {
    script->answer = {report(frame(30)), report(frame(5))};
    const Outcome r = run(frame(8));
    EXPECT_EQ(r.outcome.result, 0);
    EXPECT_EQ(r.reply, frame(30));
    EXPECT_EQ(script->reads_after_write, 1);
    EXPECT_EQ(script->read_timeouts.at(0), kShort.read_ms);
}

TEST_F(ExchangeTest, ShortFirstReportIsTheWholeReplyEvenWithoutAFrame) {
    const Bytes partial = {0x02, 0x00, 0x01, 0x05};
    script->answer = {report(partial), report(Bytes{0x03})};
    const Outcome r = run(frame(8));
    EXPECT_EQ(r.outcome.result, 0);
    EXPECT_EQ(r.reply, partial);
    EXPECT_EQ(script->reads_after_write, 1);
}

TEST_F(ExchangeTest, FullReportHoldingAWholeFrameTakesOneRead) {
    script->answer = {report(frame(31)), report(frame(31))};
    const Outcome r = run(frame(8));
    EXPECT_EQ(r.reply, frame(31));
    EXPECT_EQ(script->reads_after_write, 1);
}

TEST_F(ExchangeTest, FrameEndingInTheSecondFullReportTakesTwoReads) {
    const Bytes reply = frame(62);
    script->answer = {report(Bytes(reply.begin(), reply.begin() + 31)), report(Bytes(reply.begin() + 31, reply.end())),
                      report(frame(4))};
    const Outcome r = run(frame(8));
    EXPECT_EQ(r.outcome.result, 0);
    EXPECT_EQ(r.reply_length, 62);
    EXPECT_EQ(r.reply, reply);
    EXPECT_EQ(script->reads_after_write, 2);
}

TEST_F(ExchangeTest, EscapedEtxAcrossAReportBoundaryDoesNotEndTheFrame) {
    Bytes first = frame(31);
    first.back() = 0x10;                     // DLE at the end of the first report ...
    Bytes second = sequence(31, 0x60);
    second.front() = 0x03;                   // ... makes this ETX data
    const Bytes third = {0x41, 0x10, 0x03, 0x42, 0x03};  // escaped again, then the real end
    script->answer = {report(first), report(second), report(third)};
    const Outcome r = run(frame(8));
    EXPECT_EQ(r.reply, concat(concat(first, second), third));
    EXPECT_EQ(script->reads_after_write, 3);
}

TEST_F(ExchangeTest, SilentDeviceGivesLengthZeroAndFailure) {
    const Outcome r = run(frame(8));
    EXPECT_EQ(r.outcome.result, 1);
    EXPECT_EQ(r.reply_length, 0);
    EXPECT_FALSE(r.outcome.device_gone);
    EXPECT_EQ(script->read_timeouts, std::vector<int>{kShort.read_ms});
}

TEST_F(ExchangeTest, ReplyStoppingMidFrameReturnsWhatArrived) {
    const Bytes first = head(frame(40), 31);
    script->answer = {report(first)};
    const Outcome r = run(frame(8));
    EXPECT_EQ(r.outcome.result, 0);
    EXPECT_EQ(r.reply, first);
}

TEST_F(ExchangeTest, CountByteIsNotTrustedBeyondTheReport) {
    // A count above 31 in a full report, then a count above what a short report carried.
    const Bytes first = head(frame(40), 31);
    Input oversized = report(first, 0xFF);
    Input truncated = report(Bytes{0x41, 0x42, 0x03, 0x44}, 31);
    truncated.report.resize(6);  // id, count and four data bytes
    script->answer = {oversized, truncated};
    const Outcome r = run(frame(8));
    EXPECT_EQ(r.reply, concat(first, Bytes{0x41, 0x42, 0x03, 0x44}));
}

TEST_F(ExchangeTest, EndlessFullReportsStopAtTheFrameBuffer) {
    for (int i = 0; i < 100; ++i) script->answer.push_back(report(Bytes(31, 0x55)));
    const Outcome r = run(frame(8));
    EXPECT_EQ(r.outcome.result, 0);
    EXPECT_LE(r.reply_length, static_cast<int>(tavo::kFrameBuffer));
    EXPECT_EQ(r.reply_length, 33 * 31);
    EXPECT_EQ(r.reply, Bytes(33 * 31, 0x55));
}

TEST_F(ExchangeTest, FailedMiddleChunkStillSendsTheRestAndTheLastDecides) {
    script->write_status[1] = IoStatus::error;
    script->answer = {report(frame(6))};
    Outcome r = run(sequence(93));
    EXPECT_EQ(chunkCounts(), (std::vector<std::size_t>{31, 31, 31}));
    EXPECT_EQ(r.outcome.result, 0);
    EXPECT_EQ(r.reply, frame(6));

    script = std::make_shared<Script>();
    ScriptedDevice dev(script);
    script->write_status[2] = IoStatus::timeout;
    script->answer = {report(frame(6))};
    std::uint8_t reply[tavo::kFrameBuffer];
    int length = -7;
    const Bytes request = sequence(93);
    EXPECT_EQ(tavo::exchange(dev, request.data(), request.size(), reply, &length, kShort).result, 1);
    EXPECT_EQ(length, -7);
    EXPECT_EQ(script->reads_after_write, 0);
}

TEST_F(ExchangeTest, InputLeftFromAnEarlierExchangeIsNotTakenAsTheReply) {
    script->input = {report(frame(9)), report(frame(12))};
    script->answer = {report(frame(5))};
    EXPECT_EQ(run(frame(8)).reply, frame(5));
}

TEST_F(ExchangeTest, DeviceGoingAwayMidReplyIsReported) {
    script->answer = {report(head(frame(40), 31)), tavotest::status(IoStatus::gone)};
    const Outcome r = run(frame(8));
    EXPECT_TRUE(r.outcome.device_gone);
    EXPECT_EQ(r.reply_length, 31);

    script->gone = true;
    script->written.clear();
    const Outcome again = run(frame(8));
    EXPECT_TRUE(again.outcome.device_gone);
    EXPECT_EQ(again.outcome.result, 1);
}

TEST(FrameComplete, FollowsTheEscapeRule) {
    const std::pair<Bytes, bool> cases[] = {
        {{}, false},
        {{0x03}, false},                    // ETX outside a frame
        {{0x02, 0x03}, true},
        {{0x02, 0x10, 0x03}, false},        // escaped ETX
        {{0x02, 0x10, 0x10, 0x03}, true},   // escaped DLE, then ETX
        {{0x10, 0x02, 0x03}, false},        // escaped STX opens nothing
        {{0x55, 0x02, 0x41, 0x03, 0x99}, true},
    };
    for (const auto& c : cases) EXPECT_EQ(tavo::frameComplete(c.first.data(), c.first.size()), c.second);
}

}  // namespace
