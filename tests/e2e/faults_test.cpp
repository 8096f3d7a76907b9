// A misbehaving reader: each fault gives the result the reply rules define,
// and the next command works again (after reopening where the device went).
#ifndef _WIN32
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include "support/sim_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;

class Faults : public kvtest::SimReaderTest {
protected:
    void inject(const std::string& text) {
        sim::Fault fault;
        std::string why;
        ASSERT_TRUE(sim::Fault::parse(text, &fault, &why)) << why;
        server->inject(fault);
    }
    int model() {
        unsigned char m[2] = {};
        return rf_get_model(0, m);
    }
};

TEST_F(Faults, GarbageBeforeTheReplyIsSkipped) {
    inject("garbage");
    EXPECT_EQ(model(), 0);
}

TEST_F(Faults, RepliesSplitAtAnyReportBoundaryAreJoined) {
    unsigned char flash[64];
    for (int boundary = 0; boundary < 4; ++boundary) {
        inject("split=" + std::to_string(boundary) + ":30");
        EXPECT_EQ(rf_flash_read(0, 0, 0, 64, flash), 0) << "boundary " << boundary;
    }
}

TEST_F(Faults, CorruptOrTruncatedRepliesAreLocalFailures) {
    inject("corrupt-checksum");
    EXPECT_EQ(model(), 1);
    EXPECT_EQ(rf_GetErrorMessage(), 1);
    inject("truncate=6");
    EXPECT_EQ(model(), 1);
    EXPECT_EQ(model(), 0);
}

TEST_F(Faults, AReplyFromAnotherAddressStillCarriesItsStatus) {
    inject("wrong-address");
    unsigned short number = 0;
    EXPECT_EQ(rf_get_device_number(0, &number), 0);
    EXPECT_EQ(number, 0xBEEF);
}

TEST_F(Faults, UnplugMidReplyFailsAndLaterCallsFailAtOnceUntilReopened) {
    inject("unplug-reply=0");
    EXPECT_EQ(model(), 1);
    const auto start = Clock::now();
    EXPECT_EQ(model(), 1);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500));
    ASSERT_EQ(rf_init_com(0, 0x1A86, 0xE010), 0);
    EXPECT_EQ(model(), 0);
}

TEST_F(Faults, UnplugMidRequestFails) {
    inject("unplug-request");
    unsigned char flash[64] = {};
    EXPECT_EQ(rf_flash_write(0, 0, 0, 64, flash), 1);  // a request of several reports
    ASSERT_EQ(rf_init_com(0, 0x1A86, 0xE010), 0);
    EXPECT_EQ(rf_flash_write(0, 0, 0, 64, flash), 0);
}

TEST_F(Faults, ASilentReaderTimesOutAfterFourSeconds) {
    inject("drop");
    const auto start = Clock::now();
    EXPECT_EQ(model(), 1);
    const auto waited = Clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(3900));
    EXPECT_LT(waited, std::chrono::milliseconds(6000));
    EXPECT_EQ(model(), 0);
}

// One reply comes after the library gave up on it. The call that timed out
// fails, at most the next call can be handed the straggler, and every call
// after that gets its own block.
TEST_F(Faults, ALateReplyIsNeverTakenAsALaterCallsAnswer) {
    constexpr int kBlocks = 6;
    for (int b = 0; b < kBlocks; ++b) {
        unsigned char block[16];
        std::memset(block, 0xA0 + b, sizeof block);
        ASSERT_EQ(rf_flash_write(0, 0, static_cast<unsigned short>(b * 16), 16, block), 0);
    }
    inject("delay=4600");
    unsigned char got[16] = {};
    EXPECT_EQ(rf_flash_read(0, 0, 0, 16, got), 1);
    (void)rf_flash_read(0, 0, 16, 16, got);  // may be handed block 0's late reply
    for (int b = 2; b < kBlocks; ++b) {
        std::memset(got, 0, sizeof got);
        ASSERT_EQ(rf_flash_read(0, 0, static_cast<unsigned short>(b * 16), 16, got), 0) << "block " << b;
        for (unsigned char byte : got) EXPECT_EQ(byte, 0xA0 + b) << "block " << b;
    }
}

TEST_F(Faults, FramesForAnotherAddressAreNotAnswered) {
    const auto start = Clock::now();
    EXPECT_EQ(rf_beep(0x0042, 1), 1);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(3900));
    EXPECT_EQ(rf_beep(0, 1), 0);
}

#ifndef _WIN32
// The Windows server's handling of such hosts is tested in tests/windows.
TEST_F(Faults, AHostThatSkipsTheSetupReportIsDisconnected) {
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, server->socketPath().c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    std::uint8_t report[33] = {0x00, 0x08, 0x02, 0x00, 0x00, 0x04, 0x1D, 0x0A, 0x2B, 0x03};
    ASSERT_EQ(::send(fd, report, sizeof report, MSG_NOSIGNAL), 33);
    std::uint8_t answer[64];
    EXPECT_EQ(::recv(fd, answer, sizeof answer, 0), 0);  // closed, no reply
    ::close(fd);
    EXPECT_EQ(model(), 0);  // the library's own connection is unaffected
}
#endif

}  // namespace
