#include "server/tcp_endpoint.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace sim {
namespace {

constexpr std::size_t kReport = 33;
constexpr int kTokenWaitMs = 5000;

bool readExactly(int fd, std::uint8_t* buffer, std::size_t length, int timeout_ms) {
    std::size_t got = 0;
    while (got < length) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, timeout_ms) <= 0) return false;
        const ssize_t n = ::recv(fd, buffer + got, length - got, 0);
        if (n <= 0) return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

bool writeAll(int fd, const std::uint8_t* data, std::size_t length) {
    while (length > 0) {
        const ssize_t n = ::send(fd, data, length, MSG_NOSIGNAL);
        if (n <= 0) return false;
        data += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string randomToken() {
    std::uint8_t bytes[kTokenDigits / 2] = {};
    const int fd = ::open("/dev/urandom", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    const bool ok = ::read(fd, bytes, sizeof bytes) == static_cast<ssize_t>(sizeof bytes);
    ::close(fd);
    if (!ok) return {};
    std::string token;
    char digits[3];
    for (std::uint8_t b : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", b);
        token += digits;
    }
    return token;
}

// One host: the token, then reports both ways until either side closes.
void relay(int host, std::string socket_path, std::string token) {
    std::uint8_t given[kTokenDigits] = {};
    if (!readExactly(host, given, sizeof given, kTokenWaitMs) || !sameToken(given, token)) {
        ::close(host);
        return;
    }
    const int device = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socket_path.c_str());
    if (device < 0 || ::connect(device, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (device >= 0) ::close(device);
        ::close(host);
        return;
    }
    std::uint8_t report[kReport];
    for (;;) {
        pollfd p[2] = {{host, POLLIN, 0}, {device, POLLIN, 0}};
        if (::poll(p, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (p[0].revents != 0) {
            if (!readExactly(host, report, kReport, kTokenWaitMs)) break;
            if (::send(device, report, kReport, MSG_NOSIGNAL) != static_cast<ssize_t>(kReport)) break;
        }
        if (p[1].revents != 0) {
            const ssize_t n = ::recv(device, report, sizeof report, 0);
            if (n <= 0 || !writeAll(host, report, static_cast<std::size_t>(n))) break;
        }
    }
    ::close(device);
    ::close(host);
}

}  // namespace

TcpEndpoint::TcpEndpoint(std::string socket_path, std::string port_file)
    : socket_path_(std::move(socket_path)), port_file_(std::move(port_file)) {}

TcpEndpoint::~TcpEndpoint() { stop(); }

bool TcpEndpoint::start(std::string* why) {
    auto fail = [&](const std::string& reason) {
        if (why) *why = reason;
        if (listen_fd_ >= 0) ::close(listen_fd_);
        listen_fd_ = -1;
        return false;
    };
    token_ = randomToken();
    if (token_.size() != kTokenDigits) return fail("no random token");
    listen_fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listen_fd_ < 0) return fail(std::string("socket: ") + std::strerror(errno));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t size = sizeof address;
    if (::bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listen_fd_, 8) != 0 || ::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        return fail(std::string("TCP endpoint: ") + std::strerror(errno));
    }
    port_ = ntohs(address.sin_port);
    // Written whole under another name, then renamed: a host never reads
    // half a file. Only the user may read the token.
    const std::string temporary = port_file_ + ".new";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return fail("cannot write " + temporary + ": " + std::strerror(errno));
    const std::string text = std::to_string(port_) + " " + token_ + "\n";
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    if (!written || ::rename(temporary.c_str(), port_file_.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return fail("cannot write " + port_file_);
    }
    running_ = true;
    thread_ = std::thread([this] { acceptLoop(); });
    return true;
}

void TcpEndpoint::stop() {
    if (!running_.exchange(false)) return;
    ::shutdown(listen_fd_, SHUT_RDWR);  // ends the blocked accept()
    thread_.join();
    ::close(listen_fd_);
    listen_fd_ = -1;
    ::unlink(port_file_.c_str());
}

void TcpEndpoint::acceptLoop() {
    while (running_) {
        const int host = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (host < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            break;
        }
        const int on = 1;
        ::setsockopt(host, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        // Each host on its own thread, which ends with its connection.
        std::thread(relay, host, socket_path_, token_).detach();
    }
}

}  // namespace sim
