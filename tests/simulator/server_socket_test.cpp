// The device server against raw socket clients and other servers: who owns
// the socket file, hosts that do not read, bounded memory and prompt stops.
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "frame_codec.h"
#include "server/device_server.h"
#include "server/families.h"
#include "setup_report.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using sim::Bytes;

using simtest::kSetup;

// rf_beep(0, 10): one report, answered with one report.
const Bytes kBeep = common::toReports(common::encodeRequest(0, 0x1D, {0x0A})).at(0);

// A host connected to `socket` and past the setup report; -1 when refused.
int connectTo(const fs::path& socket) {
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socket.c_str(), sizeof address.sun_path - 1);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::send(fd, kSetup.data(), kSetup.size(), MSG_NOSIGNAL) != 33) {
        ::close(fd);
        return -1;
    }
    return fd;
}

class ServerSocket : public ::testing::Test {
protected:
    fs::path dir;
    sim::Reader reader;
    std::unique_ptr<sim::DeviceServer> server;

    void SetUp() override {
        char pattern[] = "/tmp/kovalink-server-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        server = makeServer();
    }
    void TearDown() override {
        server.reset();
        fs::remove_all(dir);
    }

    std::unique_ptr<sim::DeviceServer> makeServer(const fs::path& folder = {}) {
        sim::ServerOptions options;
        options.dir = (folder.empty() ? dir : folder).string();
        return std::make_unique<sim::DeviceServer>(reader, sim::fullFirmware(), options);
    }
    fs::path socketPath() const { return dir / "1a86-e010-reader0.sock"; }

    int connectHost() const { return connectTo(socketPath()); }

    // Sends one beep and waits up to `ms` for the reply report.
    static bool answered(int fd, int ms) {
        if (::send(fd, kBeep.data(), kBeep.size(), MSG_NOSIGNAL) != 33) return false;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, ms) != 1) return false;
        std::uint8_t reply[64];
        return ::recv(fd, reply, sizeof reply, 0) == 33;
    }
};

TEST_F(ServerSocket, OnlyOneOfTwoServersOnOneNameServesAndTheOtherLeavesTheSocketAlone) {
    std::string why;
    ASSERT_TRUE(server->start(&why)) << why;
    auto second = makeServer();
    EXPECT_FALSE(second->start(&why));
    EXPECT_EQ(why, socketPath().string() + " is served by another reader");
    second.reset();
    const int host = connectHost();
    ASSERT_GE(host, 0);
    EXPECT_TRUE(answered(host, 2000));
    ::close(host);
}

TEST_F(ServerSocket, StopRemovesTheSocketOnlyWhileItIsTheOneItBound) {
    std::string why;
    ASSERT_TRUE(server->start(&why)) << why;
    // Someone else's socket now has the name.
    ASSERT_EQ(::unlink(socketPath().c_str()), 0);
    const int other = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath().c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(other, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    server->stop();
    EXPECT_TRUE(fs::exists(fs::symlink_status(socketPath())));
    ::close(other);

    // Its own socket goes.
    ASSERT_EQ(::unlink(socketPath().c_str()), 0);
    ASSERT_TRUE(server->start(&why)) << why;
    server->stop();
    EXPECT_FALSE(fs::exists(fs::symlink_status(socketPath())));
}

TEST_F(ServerSocket, AFileThatIsNotASocketIsNeverDeleted) {
    std::ofstream(socketPath()) << "precious";
    std::string why;
    EXPECT_FALSE(server->start(&why));
    EXPECT_EQ(why, socketPath().string() + " exists and is not a socket; it is left alone");
    std::ifstream in(socketPath());
    std::string text;
    in >> text;
    EXPECT_EQ(text, "precious");
}

TEST_F(ServerSocket, ALeftOverSocketNobodyServesIsReplaced) {
    const int dead = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath().c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(dead, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(dead);  // the file stays, nobody listens
    std::string why;
    ASSERT_TRUE(server->start(&why)) << why;
    const int host = connectHost();
    EXPECT_TRUE(answered(host, 2000));
    ::close(host);
}

TEST_F(ServerSocket, AFolderOthersOrItsGroupMayWriteIsRefusedWithTheReason) {
    std::string why;
    fs::permissions(dir, fs::perms::group_write, fs::perm_options::add);
    EXPECT_FALSE(server->start(&why));
    EXPECT_NE(why.find(dir.string() + " is writable by its group"), std::string::npos) << why;
    EXPECT_FALSE(fs::exists(socketPath()));

    const fs::path link = dir.string() + "-link";
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::replace);
    fs::create_directory_symlink(dir, link);
    auto through_link = makeServer(link);
    EXPECT_FALSE(through_link->start(&why));
    EXPECT_NE(why.find(link.string() + " is a symlink"), std::string::npos) << why;
    fs::remove(link);
}

TEST_F(ServerSocket, AMissingFolderIsCreatedForThisUserAlone) {
    const fs::path fresh = dir / "fresh";
    auto in_fresh = makeServer(fresh);
    std::string why;
    ASSERT_TRUE(in_fresh->start(&why)) << why;
    struct stat st {};
    ASSERT_EQ(::stat(fresh.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

// A host that sends and never reads must not stall the others.
TEST_F(ServerSocket, AHostThatNeverReadsIsDroppedAndOthersAreServed) {
    std::string why;
    ASSERT_TRUE(server->start(&why)) << why;
    const int greedy = connectHost();
    const int polite = connectHost();
    ASSERT_GE(greedy, 0);
    ASSERT_GE(polite, 0);
    bool dropped = false;
    const auto give_up = Clock::now() + std::chrono::seconds(20);
    while (!dropped && Clock::now() < give_up) {
        const ssize_t n = ::send(greedy, kBeep.data(), kBeep.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{greedy, POLLOUT, 0};
            ::poll(&p, 1, 10);
        } else if (n < 0) {
            dropped = true;  // EPIPE or ECONNRESET: the server hung up
        }
    }
    EXPECT_TRUE(dropped);
    const auto start = Clock::now();
    EXPECT_TRUE(answered(polite, 2000));
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000));
    ::close(greedy);
    ::close(polite);
}

TEST_F(ServerSocket, TheRequestLogKeepsOnlyTheMostRecentFrames) {
    std::string why;
    ASSERT_TRUE(server->start(&why)) << why;
    const int host = connectHost();
    for (std::size_t i = 0; i < sim::DeviceServer::kRequestLogSize + 50; ++i) ASSERT_TRUE(answered(host, 2000)) << i;
    EXPECT_EQ(server->requests().size(), sim::DeviceServer::kRequestLogSize);
    ::close(host);
}

TEST_F(ServerSocket, StopDoesNotWaitForAPendingDelayFault) {
    std::string why;
    ASSERT_TRUE(server->start(&why)) << why;
    sim::Fault fault;
    ASSERT_TRUE(sim::Fault::parse("delay=60000", &fault, &why));
    server->inject(fault);
    const int host = connectHost();
    ASSERT_EQ(::send(host, kBeep.data(), kBeep.size(), MSG_NOSIGNAL), 33);
    ::usleep(200 * 1000);  // the server is now inside the delay
    const auto start = Clock::now();
    server->stop();
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000));
    ::close(host);
}

int openDescriptors() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
    return count - 1;  // the iterator's own
}

double cpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Out of file descriptors, the listening socket stays ready while accept
// fails: the server must wait, not spin, and accept again once it can.
TEST_F(ServerSocket, RunningOutOfDescriptorsDoesNotSpinTheServer) {
    std::string why;
    ASSERT_TRUE(server->start(&why)) << why;
    const fs::path socket = socketPath();
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit tight = saved;
    tight.rlim_cur = static_cast<rlim_t>(openDescriptors() + 1);  // room for the host's socket only
    // Until the limit is restored only free functions run here: the
    // sanitizers' type checks need a spare descriptor of their own.
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &tight), 0);
    const int host = connectTo(socket);  // waits in the backlog: the server cannot accept it
    const double before = cpuSeconds();
    ::usleep(1000 * 1000);
    const double used = cpuSeconds() - before;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &saved), 0);
    ASSERT_GE(host, 0);
    EXPECT_LT(used, 0.3) << "the server spun for " << used << " s of CPU in 1 s";
    EXPECT_TRUE(answered(host, 2000));  // accepted once descriptors are free again
    ::close(host);
}

}  // namespace
