// Opening a virtual reader whose server does not accept: a listening socket
// with a full backlog, as a stopped readersim leaves it.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <vector>

#include "virtual_device.h"

namespace {

using Clock = std::chrono::steady_clock;

TEST(VirtualOpen, AServerThatNeverAcceptsTimesOutInsteadOfHanging) {
    char pattern[] = "/tmp/kovalink-connect-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string path = std::string(pattern) + "/1a86-e010-stopped.sock";
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    const int server = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
    ASSERT_EQ(::bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(server, 0), 0);
    // Fill the backlog; it never drains because nobody accepts.
    std::vector<int> queued;
    for (int i = 0; i < 16; ++i) {
        const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK, 0);
        queued.push_back(fd);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) break;
    }

    tavo::DeviceInfo info;
    info.path = path;
    std::string why;
    const auto start = Clock::now();
    EXPECT_EQ(tavo::makeVirtualBackend()->open(info, &why), nullptr);
    const auto waited = Clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(2500));
    EXPECT_LT(waited, std::chrono::milliseconds(6000));
    EXPECT_EQ(why, "the reader does not accept connections (timed out)");

    for (int fd : queued) ::close(fd);
    ::close(server);
    std::filesystem::remove_all(pattern);
}

}  // namespace
