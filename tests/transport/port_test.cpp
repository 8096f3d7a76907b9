#include "port.h"

#include <gtest/gtest.h>

#include "scripted_device.h"

namespace {

using tavo::IoStatus;
using tavotest::Bytes;
using tavotest::FakeBackend;
using tavotest::FakeEntry;
using tavotest::fakeEntry;
using tavotest::report;
using tavotest::Script;

constexpr std::uint16_t kVid = 0x1A86;
constexpr std::uint16_t kPid = 0xE010;

const Bytes kFrame = {0x02, 0x00, 0x00, 0x04, 0x1D, 0x0A, 0x2B, 0x03};
const Bytes kReply = {0x02, 0x00, 0x00, 0x01, 0x00, 0x01, 0x03};

// Two backends searched in order, as hidraw and virtual are.
class PortTest : public ::testing::Test {
protected:
    std::vector<FakeEntry> first;
    std::vector<FakeEntry> second;
    std::function<void()> on_search = [] {};
    tavo::Port port{[this] {
        on_search();
        std::vector<std::unique_ptr<tavo::Backend>> backends;
        backends.push_back(std::make_unique<FakeBackend>(first));
        backends.push_back(std::make_unique<FakeBackend>(second));
        return backends;
    }};

    static std::shared_ptr<Script> answering() {
        auto s = std::make_shared<Script>();
        s->answer = {report(kReply)};
        return s;
    }

    int communicate(int* length) {
        std::uint8_t reply[tavo::kFrameBuffer];
        return port.communicate(kFrame.data(), kFrame.size(), reply, length);
    }

    void SetUp() override { port.setTimeouts({20, 30}); }
};

TEST_F(PortTest, ExchangeWithoutAnOpenDeviceFailsAtOnce) {
    int length = -7;
    EXPECT_EQ(communicate(&length), 1);
    EXPECT_EQ(length, -7);

    auto device = answering();
    first = {fakeEntry("/dev/hidraw0", kVid, kPid, device)};
    ASSERT_TRUE(port.open(kVid, kPid));
    port.close();
    EXPECT_FALSE(device->alive);
    EXPECT_EQ(communicate(&length), 1);
    EXPECT_TRUE(device->written.empty());
}

TEST_F(PortTest, NoMatchingDeviceLeavesNothingOpen) {
    first = {fakeEntry("/dev/hidraw0", kVid, 0xE011, answering())};
    second = {fakeEntry("/tmp/v/1a87-e010-x.sock", 0x1A87, kPid, answering())};
    EXPECT_FALSE(port.open(kVid, kPid));
    EXPECT_FALSE(port.isOpen());
}

TEST_F(PortTest, FirstMatchInBackendOrderIsOpenedAndGetsTheSetupReport) {
    auto other = answering(), wanted = answering(), later = answering();
    first = {fakeEntry("/dev/hidraw0", 0x046D, 0xC52B, other), fakeEntry("/dev/hidraw3", kVid, kPid, wanted)};
    second = {fakeEntry("/tmp/v/1a86-e010-reader0.sock", kVid, kPid, later)};
    ASSERT_TRUE(port.open(kVid, kPid));
    EXPECT_TRUE(wanted->alive);
    EXPECT_FALSE(other->alive);
    EXPECT_FALSE(later->alive);
    EXPECT_EQ(wanted->setup, Bytes(tavo::kSetupReport, tavo::kSetupReport + tavo::kReportSize));
    EXPECT_EQ(wanted->setup[1], 0xFF);

    int length = 0;
    EXPECT_EQ(communicate(&length), 0);
    EXPECT_EQ(length, static_cast<int>(kReply.size()));
    EXPECT_EQ(wanted->written.size(), 1u);
    EXPECT_EQ(wanted->read_timeouts, std::vector<int>{30});
}

TEST_F(PortTest, UnopenableDeviceIsSkippedAndItsReasonKept) {
    auto later = answering();
    first = {fakeEntry("/dev/hidraw1", kVid, kPid, nullptr)};
    second = {fakeEntry("/tmp/v/1a86-e010-reader0.sock", kVid, kPid, later)};
    ASSERT_TRUE(port.open(kVid, kPid));
    EXPECT_TRUE(later->alive);
    EXPECT_EQ(port.openFailures(), std::vector<std::string>{"/dev/hidraw1: Permission denied"});

    second.clear();
    EXPECT_FALSE(port.open(kVid, kPid));
    EXPECT_EQ(port.openFailures(), std::vector<std::string>{"/dev/hidraw1: Permission denied"});
}

TEST_F(PortTest, OpenClosesTheOpenDeviceBeforeSearching) {
    auto old_device = answering();
    first = {fakeEntry("/dev/hidraw0", kVid, kPid, old_device)};
    ASSERT_TRUE(port.open(kVid, kPid));

    bool old_alive_during_search = true;
    on_search = [&] { old_alive_during_search = old_device->alive; };
    EXPECT_FALSE(port.open(0x1234, 0x5678));
    EXPECT_FALSE(old_alive_during_search);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(PortTest, DeviceGoneMidExchangeIsClosedAndLaterCallsFailAtOnce) {
    auto device = std::make_shared<Script>();
    device->answer = {report(Bytes(31, 0x02)), tavotest::status(IoStatus::gone)};
    first = {fakeEntry("/dev/hidraw0", kVid, kPid, device)};
    ASSERT_TRUE(port.open(kVid, kPid));

    int length = 0;
    EXPECT_EQ(communicate(&length), 0);  // what arrived before the unplug is returned
    EXPECT_EQ(length, 31);
    EXPECT_FALSE(device->alive);
    EXPECT_FALSE(port.isOpen());

    length = -7;
    EXPECT_EQ(communicate(&length), 1);
    EXPECT_EQ(length, -7);
}

// A reply that comes after its exchange gave up sits in front of the next
// reply. The device here: request 0 is never answered in time; its reply
// (A) lands together with request 1's own reply (B); request 2 gets C.
TEST_F(PortTest, ALateReplyIsNeverTakenAsALaterCallsAnswer) {
    const Bytes a = {0x02, 0x00, 0x00, 0x04, 0x1D, 0x00, 0xAA, 0xCB, 0x03};
    const Bytes b = {0x02, 0x00, 0x00, 0x04, 0x1D, 0x00, 0xBB, 0xDC, 0x03};
    const Bytes c = {0x02, 0x00, 0x00, 0x04, 0x1D, 0x00, 0xCC, 0xED, 0x03};
    auto device = std::make_shared<Script>();
    // One report per written frame (the request fits one report).
    device->answer_at = {{1, {report(a), report(b)}}, {2, {report(c)}}};
    first = {fakeEntry("/dev/hidraw0", kVid, kPid, device)};
    ASSERT_TRUE(port.open(kVid, kPid));

    std::uint8_t reply[tavo::kFrameBuffer];
    int length = 0;
    EXPECT_EQ(port.communicate(kFrame.data(), kFrame.size(), reply, &length), 1);  // timed out
    // The affected call gets A; whatever it gets, the call after it is in step.
    EXPECT_EQ(port.communicate(kFrame.data(), kFrame.size(), reply, &length), 0);
    ASSERT_EQ(port.communicate(kFrame.data(), kFrame.size(), reply, &length), 0);
    EXPECT_EQ(Bytes(reply, reply + length), c);
}

// The two exchanges after a time-out wait for a straggler (the first may have
// been handed it while its own reply is still coming); later ones do not.
TEST_F(PortTest, OnlyTheTwoExchangesAfterATimeOutWaitForAStraggler) {
    auto device = std::make_shared<Script>();
    device->answer_at = {{1, {report(kReply)}}, {2, {report(kReply)}}, {3, {report(kReply)}}};
    first = {fakeEntry("/dev/hidraw0", kVid, kPid, device)};
    port.setTimeouts({20, 30, 40});
    ASSERT_TRUE(port.open(kVid, kPid));
    int length = 0;
    EXPECT_EQ(communicate(&length), 1);  // no answer: unsettled
    for (const int expected_wait : {40, 40, 0}) {
        device->all_read_timeouts.clear();
        EXPECT_EQ(communicate(&length), 0);
        ASSERT_FALSE(device->all_read_timeouts.empty());
        const int first_wait = device->all_read_timeouts.front();
        if (expected_wait == 0) {
            EXPECT_EQ(first_wait, 0);  // settled: only what is already there
        } else {
            EXPECT_GT(first_wait, 0);  // the settle window
            EXPECT_LE(first_wait, expected_wait);
        }
    }
}

}  // namespace
