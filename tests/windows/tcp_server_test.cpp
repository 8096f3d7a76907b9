// The simulated reader's server on Windows, which serves TCP itself: the
// port file, who is served (only a host that presents the token, then the
// setup report), reports cut anywhere by the stream, one server per name,
// and the clean-up.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>

#include "server/device_server.h"
#include "server/families.h"
#include "server/port_file.h"
#include "setup_report.h"
#include "support/sim_server.h"

namespace {

namespace fs = std::filesystem;
using sim::Bytes;
using simtest::kBeep;
using simtest::kBeepReply;
using simtest::kSetup;

class WindowsServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WSADATA data;
        ASSERT_EQ(::WSAStartup(MAKEWORD(2, 2), &data), 0);
    }

    std::unique_ptr<kvtest::TempDir> dir;
    sim::Reader reader;
    std::unique_ptr<sim::DeviceServer> server;

    void SetUp() override {
        dir = std::make_unique<kvtest::TempDir>();
        server = std::make_unique<sim::DeviceServer>(reader, sim::fullFirmware(), options());
        std::string why;
        ASSERT_TRUE(server->start(&why)) << why;
    }
    void TearDown() override {
        server.reset();
        dir.reset();
    }

    sim::ServerOptions options() const {
        sim::ServerOptions o;
        o.dir = dir->path();
        return o;
    }
    fs::path portFile() const { return fs::path(dir->path()) / "1a86-e010-reader0.tcp"; }
    std::string portFileText() const {
        std::ifstream in(portFile());
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    int port() const { return std::stoi(portFileText()); }
    std::string token() const { return portFileText().substr(portFileText().find(' ') + 1, 32); }

    SOCKET connectHost() const { return connectTo(port()); }
    // A connection to 127.0.0.1 at `to_port`; INVALID_SOCKET when refused.
    static SOCKET connectTo(int to_port) {
        const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(static_cast<u_short>(to_port));
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
            ::closesocket(s);
            return INVALID_SOCKET;
        }
        const BOOL on = TRUE;
        ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
        return s;
    }
    static bool sendBytes(SOCKET s, const std::uint8_t* data, std::size_t n) {
        return ::send(s, reinterpret_cast<const char*>(data), static_cast<int>(n), 0) == static_cast<int>(n);
    }
    static bool sendText(SOCKET s, const std::string& text) {
        return sendBytes(s, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    }
    // Waits `ms` for the socket to become readable.
    static bool readable(SOCKET s, int ms) {
        WSAPOLLFD p{s, POLLRDNORM, 0};
        return ::WSAPoll(&p, 1, ms) == 1;
    }
    // What the server sends within `ms`, up to its close or `limit` bytes.
    static Bytes receive(SOCKET s, int ms, std::size_t limit) {
        Bytes got;
        char buffer[64];
        while (got.size() < limit && readable(s, ms)) {
            const int n = ::recv(s, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            got.insert(got.end(), buffer, buffer + n);
        }
        return got;
    }
    // True when the server closes the connection within `ms` without
    // sending a byte (a reset counts).
    static bool closedSilently(SOCKET s, int ms) {
        if (!readable(s, ms)) return false;
        char byte;
        return ::recv(s, &byte, 1, 0) <= 0;
    }
};

TEST_F(WindowsServerTest, PortFileHoldsThePortAndARandomToken) {
    std::smatch match;
    const std::string text = portFileText();
    ASSERT_TRUE(std::regex_match(text, match, std::regex("([0-9]+) ([0-9a-f]{32})\n"))) << text;
    EXPECT_GT(std::stoi(match[1].str()), 0);
    EXPECT_EQ(server->socketPath(), (fs::path(dir->path()) / "1a86-e010-reader0.tcp").string());

    // Another reader in the folder draws a port and a token of its own.
    sim::ServerOptions other = options();
    other.name = "reader1";
    sim::DeviceServer second(reader, sim::fullFirmware(), other);
    std::string why;
    ASSERT_TRUE(second.start(&why)) << why;
    std::ifstream in(fs::path(dir->path()) / "1a86-e010-reader1.tcp");
    std::string second_port, second_token;
    in >> second_port >> second_token;
    EXPECT_EQ(second_token.size(), 32u);
    EXPECT_NE(second_token, match[2].str());
    EXPECT_NE(second_port, match[1].str());
}

TEST_F(WindowsServerTest, TokenAndReportsCutAnywhereAreServed) {
    const SOCKET host = connectHost();
    ASSERT_NE(host, INVALID_SOCKET);
    // The token in two pieces, the setup report and a beep in three more.
    std::string first = token().substr(0, 10), rest = token().substr(10);
    Bytes stream(rest.begin(), rest.end());
    stream.insert(stream.end(), kSetup.begin(), kSetup.end());
    stream.insert(stream.end(), kBeep.begin(), kBeep.end());
    ASSERT_TRUE(sendText(host, first));
    Sleep(20);
    std::size_t from = 0;
    for (const std::size_t cut : {std::size_t{7}, std::size_t{50}, stream.size()}) {
        ASSERT_TRUE(sendBytes(host, stream.data() + from, cut - from));
        Sleep(20);
        from = cut;
    }
    EXPECT_EQ(receive(host, 3000, 33), kBeepReply);
    // Two requests in one piece: two replies.
    Bytes two = kBeep;
    two.insert(two.end(), kBeep.begin(), kBeep.end());
    ASSERT_TRUE(sendBytes(host, two.data(), two.size()));
    Bytes both = kBeepReply;
    both.insert(both.end(), kBeepReply.begin(), kBeepReply.end());
    EXPECT_EQ(receive(host, 3000, 66), both);
    EXPECT_EQ(server->requestCount(), 3u);
    server->withReader([](sim::Reader& r) { EXPECT_EQ(r.events.back(), "beep 100 ms"); });
    ::closesocket(host);
}

TEST_F(WindowsServerTest, HostsWithoutTheTokenOrTheSetupReportAreClosedWithoutAReply) {
    std::string wrong = token();
    wrong[31] = wrong[31] == '0' ? '1' : '0';  // one digit off
    const SOCKET wrong_host = connectHost();
    ASSERT_TRUE(sendText(wrong_host, wrong));
    // The server may have closed the connection on the token already, so
    // these sends may fail: what counts is that no reply comes.
    sendBytes(wrong_host, kSetup.data(), kSetup.size());
    sendBytes(wrong_host, kBeep.data(), kBeep.size());
    EXPECT_TRUE(closedSilently(wrong_host, 3000));
    ::closesocket(wrong_host);

    // Half the token, then the sending side closed.
    const SOCKET short_host = connectHost();
    ASSERT_TRUE(sendText(short_host, token().substr(0, 16)));
    ::shutdown(short_host, SD_SEND);
    EXPECT_TRUE(closedSilently(short_host, 3000));
    ::closesocket(short_host);

    // The token, then a request without the setup report.
    const SOCKET rude_host = connectHost();
    ASSERT_TRUE(sendText(rude_host, token()));
    ASSERT_TRUE(sendBytes(rude_host, kBeep.data(), kBeep.size()));
    EXPECT_TRUE(closedSilently(rude_host, 3000));
    ::closesocket(rude_host);
    EXPECT_EQ(server->requestCount(), 0u);
}

TEST_F(WindowsServerTest, AHostThatSendsNothingIsClosedAfterFiveSeconds) {
    const SOCKET idle = connectHost();
    ASSERT_NE(idle, INVALID_SOCKET);
    EXPECT_FALSE(closedSilently(idle, 4000));
    EXPECT_TRUE(closedSilently(idle, 3000));
    ::closesocket(idle);
}

TEST_F(WindowsServerTest, UnplugClosesTheHostAndTheReaderCanBeOpenedAgain) {
    SOCKET host = connectHost();
    ASSERT_TRUE(sendText(host, token()) && sendBytes(host, kSetup.data(), kSetup.size()));
    // Unplugging disconnects the hosts connected by then.
    for (int i = 0; i < 300 && server->setups() == 0; ++i) Sleep(10);
    ASSERT_EQ(server->setups(), 1);
    server->unplug();
    EXPECT_TRUE(closedSilently(host, 3000));
    ::closesocket(host);
    host = connectHost();
    ASSERT_TRUE(sendText(host, token()) && sendBytes(host, kSetup.data(), kSetup.size()) &&
                sendBytes(host, kBeep.data(), kBeep.size()));
    EXPECT_EQ(receive(host, 3000, 33), kBeepReply);
    EXPECT_EQ(server->setups(), 2);
    ::closesocket(host);
}

TEST_F(WindowsServerTest, OneServerPerNameAndStopRemovesItsPortFile) {
    sim::DeviceServer second(reader, sim::fullFirmware(), options());
    std::string why;
    EXPECT_FALSE(second.start(&why));
    EXPECT_EQ(why, server->socketPath() + " is served by another reader");
    EXPECT_TRUE(fs::exists(portFile()));  // the refused server left the file alone

    const int old_port = port();
    server->stop();
    EXPECT_FALSE(fs::exists(portFile()));
    EXPECT_FALSE(fs::exists(portFile().string() + ".lock"));
    // Nothing accepts on the old port any more.
    EXPECT_EQ(connectTo(old_port), INVALID_SOCKET);

    // Now the name is free.
    EXPECT_TRUE(second.start(&why)) << why;
}

}  // namespace
