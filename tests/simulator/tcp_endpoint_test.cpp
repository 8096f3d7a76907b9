// readersim's TCP endpoint for Windows hosts: the port file, who is served
// (only a host that presents the token), where it listens, and the clean-up.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>

#include "server/device_server.h"
#include "server/families.h"
#include "server/tcp_endpoint.h"
#include "setup_report.h"

namespace {

namespace fs = std::filesystem;
using sim::Bytes;
using simtest::kBeep;
using simtest::kBeepReply;
using simtest::kSetup;

class TcpEndpointTest : public ::testing::Test {
protected:
    fs::path dir;
    sim::Reader reader;
    std::unique_ptr<sim::DeviceServer> server;
    std::unique_ptr<sim::TcpEndpoint> endpoint;

    void SetUp() override {
        char pattern[] = "/tmp/kovalink-tcp-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        sim::ServerOptions options;
        options.dir = dir.string();
        server = std::make_unique<sim::DeviceServer>(reader, sim::fullFirmware(), options);
        std::string why;
        ASSERT_TRUE(server->start(&why)) << why;
        endpoint = std::make_unique<sim::TcpEndpoint>(server->socketPath(), portFile().string());
        ASSERT_TRUE(endpoint->start(&why)) << why;
    }
    void TearDown() override {
        endpoint.reset();
        server.reset();
        fs::remove_all(dir);
    }

    fs::path portFile() const { return dir / sim::tcpPortFileName(0x1A86, 0xE010, "reader0"); }

    std::string portFileText() const {
        std::ifstream in(portFile());
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string token() const { return portFileText().substr(portFileText().find(' ') + 1, 32); }

    // A TCP connection to the endpoint's port at `address`; -1 when refused.
    int connectTo(const char* address) const {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(static_cast<std::uint16_t>(endpoint->port()));
        ::inet_pton(AF_INET, address, &to.sin_addr);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
            ::close(fd);
            return -1;
        }
        return fd;
    }

    static bool sendText(int fd, const std::string& text) {
        return ::send(fd, text.data(), text.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(text.size());
    }
    static bool sendReport(int fd, const Bytes& report) {
        return ::send(fd, report.data(), report.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(report.size());
    }

    // Everything the endpoint sends within `ms`, up to its close or `limit` bytes.
    static Bytes receive(int fd, int ms, std::size_t limit) {
        Bytes got;
        std::uint8_t buffer[64];
        while (got.size() < limit) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, ms) != 1) break;
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            got.insert(got.end(), buffer, buffer + n);
        }
        return got;
    }
    enum class Then { reports, endSending };
    // Connects, presents `presented` as the token, then sends the setup and
    // a beep or ends sending: true when the endpoint closes the connection
    // without a byte in reply.
    bool closedWithoutReply(const std::string& presented, Then then) const {
        const int host = connectTo("127.0.0.1");
        if (host < 0 || !sendText(host, presented)) return false;
        if (then == Then::reports) {
            sendReport(host, kSetup);
            sendReport(host, kBeep);
        } else {
            ::shutdown(host, SHUT_WR);
        }
        const bool closed = closedSilently(host, 3000);
        ::close(host);
        return closed;
    }

    // True when the endpoint has closed the connection within `ms`, with
    // nothing sent before. Closing with unread bytes resets the connection
    // instead of ending it: both count.
    static bool closedSilently(int fd, int ms) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, ms) != 1) return false;
        std::uint8_t byte;
        const ssize_t n = ::recv(fd, &byte, 1, 0);
        return n == 0 || (n < 0 && errno == ECONNRESET);
    }
};

TEST_F(TcpEndpointTest, PortFileHoldsThePortAndARandomTokenForTheUserAlone) {
    EXPECT_EQ(portFile().filename().string(), "1a86-e010-reader0.tcp");
    const std::string text = portFileText();
    std::smatch match;
    ASSERT_TRUE(std::regex_match(text, match, std::regex("([0-9]+) ([0-9a-f]{32})\n"))) << text;
    EXPECT_EQ(std::stoi(match[1].str()), endpoint->port());
    EXPECT_GT(endpoint->port(), 0);
    struct stat info {};
    ASSERT_EQ(::stat(portFile().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_FALSE(fs::exists(portFile().string() + ".new"));

    // A second endpoint draws a token of its own.
    const fs::path other = dir / "other.tcp";
    sim::TcpEndpoint second(server->socketPath(), other.string());
    std::string why;
    ASSERT_TRUE(second.start(&why)) << why;
    std::ifstream in(other);
    std::string port, second_token;
    in >> port >> second_token;
    EXPECT_EQ(second_token.size(), 32u);
    EXPECT_NE(second_token, match[2].str());
    EXPECT_NE(std::stoi(port), endpoint->port());
}

TEST_F(TcpEndpointTest, AHostWithTheTokenIsServedReportByReport) {
    const int host = connectTo("127.0.0.1");
    ASSERT_GE(host, 0);
    ASSERT_TRUE(sendText(host, token()));
    ASSERT_TRUE(sendReport(host, kSetup));
    // The token may arrive in pieces, and reports may share a segment.
    ASSERT_TRUE(sendReport(host, kBeep));
    EXPECT_EQ(receive(host, 3000, 33), kBeepReply);
    // Served twice over the same connection: the relay keeps going.
    ASSERT_TRUE(sendReport(host, kBeep));
    EXPECT_EQ(receive(host, 3000, 33), kBeepReply);
    ::close(host);
}

TEST_F(TcpEndpointTest, AWrongTokenIsClosedWithoutAReply) {
    std::string wrong = token();
    wrong[31] = wrong[31] == '0' ? '1' : '0';  // one digit off
    EXPECT_TRUE(closedWithoutReply(wrong, Then::reports));
    EXPECT_EQ(server->requestCount(), 0u);
}

TEST_F(TcpEndpointTest, AShortTokenIsClosedWithoutAReply) {
    // The first half of the right token, then nothing more.
    EXPECT_TRUE(closedWithoutReply(token().substr(0, 16), Then::endSending));
    // Followed by reports: their bytes do not complete it.
    EXPECT_TRUE(closedWithoutReply(token().substr(0, 16), Then::reports));
    EXPECT_EQ(server->requestCount(), 0u);
}

TEST_F(TcpEndpointTest, ListensOnTheLoopbackAddressOnly) {
    // Every 127.x address reaches this host; a socket bound to any address
    // would accept on 127.0.0.2 too.
    const int other = connectTo("127.0.0.2");
    EXPECT_LT(other, 0);
    if (other >= 0) ::close(other);
    const int host = connectTo("127.0.0.1");
    EXPECT_GE(host, 0);
    if (host >= 0) ::close(host);
}

TEST_F(TcpEndpointTest, StopRemovesThePortFileAndClosesThePort) {
    ASSERT_TRUE(fs::exists(portFile()));
    endpoint->stop();
    EXPECT_FALSE(fs::exists(portFile()));
    // The port is closed: nothing accepts on it any more.
    EXPECT_LT(connectTo("127.0.0.1"), 0);
    endpoint->stop();  // a second stop does nothing
}

}  // namespace
