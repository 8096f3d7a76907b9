// The hidraw report layout, with a SOCK_SEQPACKET pair standing in for the
// node: one message per report, as hidraw reads and writes them.
#include "hidraw_device.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

#include "exchange.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using tavo::IoStatus;

class HidrawDeviceTest : public ::testing::Test {
protected:
    int peer = -1;

    std::unique_ptr<tavo::HidrawDevice> make(bool report_ids) {
        int fds[2];
        EXPECT_EQ(::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds), 0);
        peer = fds[1];
        tavo::ReportLayout layout;
        layout.report_ids = report_ids;
        return std::make_unique<tavo::HidrawDevice>(fds[0], layout);
    }
    void TearDown() override {
        if (peer >= 0) ::close(peer);
    }

    void deviceSends(const Bytes& report) {
        ASSERT_EQ(::send(peer, report.data(), report.size(), 0), static_cast<ssize_t>(report.size()));
    }
    Bytes peerReceives() {
        std::uint8_t buffer[128];
        const ssize_t n = ::recv(peer, buffer, sizeof buffer, MSG_DONTWAIT);
        return n < 0 ? Bytes{} : Bytes(buffer, buffer + n);
    }
    static Bytes readReport(tavo::Device& device, IoStatus expected = IoStatus::ok, int timeout_ms = 200) {
        std::uint8_t buffer[tavo::kReportBuffer];
        std::size_t length = 99;
        EXPECT_EQ(device.read(buffer, tavo::kReportSize, &length, timeout_ms), expected);
        return Bytes(buffer, buffer + length);
    }
};

Bytes report(std::uint8_t id, std::uint8_t count) {
    Bytes r(33, 0);
    r[0] = id;
    r[1] = count;
    for (std::size_t i = 0; i < count; ++i) r[2 + i] = static_cast<std::uint8_t>(0xA0 + i);
    return r;
}

TEST_F(HidrawDeviceTest, WithoutReportIdsTheMissingIdByteIsPutBack) {
    auto device = make(false);
    const Bytes full = report(0, 31);
    deviceSends(Bytes(full.begin() + 1, full.end()));  // hidraw delivers 32 bytes
    EXPECT_EQ(readReport(*device), full);

    // Writes keep their leading 0, which hidraw needs.
    ASSERT_EQ(device->write(full.data(), full.size(), 200), IoStatus::ok);
    EXPECT_EQ(peerReceives(), full);
}

TEST_F(HidrawDeviceTest, WithReportIdsReportsPassUnchanged) {
    auto device = make(true);
    const Bytes numbered = report(0x05, 12);
    deviceSends(numbered);
    EXPECT_EQ(readReport(*device), numbered);
    ASSERT_EQ(device->write(numbered.data(), numbered.size(), 200), IoStatus::ok);
    EXPECT_EQ(peerReceives(), numbered);
}

TEST_F(HidrawDeviceTest, SilenceIsATimeOutWithinTheBudget) {
    auto device = make(false);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(readReport(*device, IoStatus::timeout, 60).empty());
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(50));
    EXPECT_LT(waited, std::chrono::milliseconds(1000));
}

TEST_F(HidrawDeviceTest, PeerGoneIsReported) {
    auto device = make(false);
    ::close(peer);
    peer = -1;
    readReport(*device, IoStatus::gone);
    const Bytes r = report(0, 4);
    EXPECT_EQ(device->write(r.data(), r.size(), 200), IoStatus::gone);
}

TEST(HidrawDeviceWrite, WriteToAVanishedReaderRaisesNoSigpipe) {
    // A pipe polls writable even without a reader, so the write itself meets
    // EPIPE; with the default action a SIGPIPE would end this test program.
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ::close(fds[0]);
    tavo::HidrawDevice device(fds[1], tavo::ReportLayout{});
    const Bytes r = report(0, 4);
    EXPECT_EQ(device.write(r.data(), r.size(), 200), IoStatus::gone);
    sigset_t pending;
    sigpending(&pending);
    EXPECT_EQ(sigismember(&pending, SIGPIPE), 0);
}

TEST_F(HidrawDeviceTest, SetupReportDoesNotDisturbTheReportStream) {
    auto device = make(false);
    const Bytes setup = {0x00, 0xFF, 0xC7, 0x83, 0xCC, 0x10};
    device->sendSetup(setup.data(), setup.size());  // a socket refuses the ioctl; that is ignored
    EXPECT_TRUE(peerReceives().empty());
}

TEST_F(HidrawDeviceTest, ExchangeSeesTheReaderLayoutOverHidraw) {
    auto device = make(false);
    const Bytes request = {0x02, 0x00, 0x00, 0x04, 0x1D, 0x0A, 0x2B, 0x03};
    const Bytes reply = {0x02, 0x00, 0x00, 0x01, 0x00, 0x01, 0x03};
    Bytes received;
    std::thread reader([&] {
        pollfd p{peer, POLLIN, 0};
        ASSERT_EQ(::poll(&p, 1, 2000), 1);
        received = peerReceives();
        Bytes answer(32, 0);  // count and data, no id byte
        answer[0] = static_cast<std::uint8_t>(reply.size());
        std::copy(reply.begin(), reply.end(), answer.begin() + 1);
        deviceSends(answer);
    });
    std::uint8_t buffer[tavo::kFrameBuffer];
    int length = 0;
    const auto outcome = tavo::exchange(*device, request.data(), request.size(), buffer, &length, {1000, 2000});
    reader.join();
    ASSERT_EQ(received.size(), 33u);
    EXPECT_EQ(Bytes(received.begin(), received.begin() + 10),
              (Bytes{0x00, 0x08, 0x02, 0x00, 0x00, 0x04, 0x1D, 0x0A, 0x2B, 0x03}));
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(Bytes(buffer, buffer + length), reply);
}

}  // namespace
