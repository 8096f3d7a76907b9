// The device server on Windows, which has no Unix-domain sockets: TCP on
// 127.0.0.1 at a port the system picks. "<port> <token>\n" goes into the
// folder's "<vid>-<pid>-<name>.tcp" file, where only the user can read it;
// a host sends the 32-digit token first, then 33-byte reports both ways on
// the byte stream. A loopback datagram socket wakes the serving thread.
#define _CRT_RAND_S
#include <stdlib.h>
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "file_io.h"
#include "reader_list.h"
#include "server/device_server.h"
#include "server/port_file.h"

namespace sim {
namespace {

constexpr std::size_t kReport = 33;
// A host that has not sent the whole token by then is disconnected.
constexpr auto kTokenWait = std::chrono::seconds(5);

SOCKET sock(std::intptr_t s) { return static_cast<SOCKET>(s); }

std::string socketError(const std::string& what) { return what + ": error " + std::to_string(::WSAGetLastError()); }

bool winsockReady() {
    static const bool ready = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return ready;
}

std::string randomToken() {
    std::string token;
    char digits[9];
    for (std::size_t i = 0; i < kTokenDigits / 8; ++i) {
        unsigned int value = 0;
        if (::rand_s(&value) != 0) return {};
        std::snprintf(digits, sizeof digits, "%08x", value);
        token += digits;
    }
    return token;
}

void setNonBlocking(SOCKET s) {
    u_long on = 1;
    ::ioctlsocket(s, FIONBIO, &on);
}

// A socket bound to 127.0.0.1 at a port the system picks; its address in `bound`.
SOCKET loopbackSocket(int type, sockaddr_in* bound) {
    const SOCKET s = ::socket(AF_INET, type, type == SOCK_STREAM ? IPPROTO_TCP : IPPROTO_UDP);
    if (s == INVALID_SOCKET) return s;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(s, reinterpret_cast<sockaddr*>(bound), &size) != 0) {
        ::closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

// The port file holds this server's token, not another server's.
bool portFileIsOurs(const std::string& path, const std::string& token) {
    std::string content, why;
    const std::string tail = " " + token + "\n";
    return common::readBoundedFile(path, 256, "port file", &content, &why) && content.size() > tail.size() &&
           content.compare(content.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

bool prepareServingFolder(const std::string& dir, std::string* why) {
    if (dir.empty()) {
        if (why) *why = "no virtual-device folder";
        return false;
    }
    if (!::CreateDirectoryA(dir.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
        if (why) *why = "cannot create " + dir + ": error " + std::to_string(::GetLastError());
        return false;
    }
    std::string reason;
    if (!tavo::virtualDirTrusted(dir, &reason)) {
        if (why) *why = "refusing to serve in " + reason;
        return false;
    }
    return true;
}

bool DeviceServer::openEndpoint(std::string* why) {
    auto fail = [&](const std::string& reason) {
        if (why) *why = reason;
        closeEndpoint();
        return false;
    };
    if (!winsockReady()) return fail("Winsock could not be started");
    std::string reason;
    if (!prepareServingFolder(options_.dir, &reason)) return fail(reason);
    path_ = options_.dir + "\\" + tcpPortFileName(options_.vendor_id, options_.product_id, options_.name);

    // One server per name: the lock file is opened without sharing and goes
    // with the handle, so a second server is refused while the first serves.
    const std::string lock_path = path_ + ".lock";
    const HANDLE lock = ::CreateFileA(lock_path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (lock == INVALID_HANDLE_VALUE) {
        return fail(::GetLastError() == ERROR_SHARING_VIOLATION
                        ? path_ + " is served by another reader"
                        : "cannot open the lock file " + lock_path + ": error " + std::to_string(::GetLastError()));
    }
    lock_ = reinterpret_cast<std::intptr_t>(lock);

    token_ = randomToken();
    if (token_.size() != kTokenDigits) return fail("no random token");
    sockaddr_in address{};
    listen_fd_ = static_cast<Socket>(loopbackSocket(SOCK_STREAM, &address));
    if (listen_fd_ == kNoSocket || ::listen(sock(listen_fd_), 8) != 0) return fail(socketError("TCP endpoint"));
    setNonBlocking(sock(listen_fd_));
    sockaddr_in wake_address{};
    wake_[0] = static_cast<Socket>(loopbackSocket(SOCK_DGRAM, &wake_address));
    wake_[1] = static_cast<Socket>(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    if (wake_[0] == kNoSocket || wake_[1] == kNoSocket ||
        ::connect(sock(wake_[1]), reinterpret_cast<sockaddr*>(&wake_address), sizeof wake_address) != 0) {
        return fail(socketError("wake-up socket"));
    }
    setNonBlocking(sock(wake_[0]));

    // Written whole under another name and moved into place: a host never
    // reads half a file.
    const std::string text = std::to_string(ntohs(address.sin_port)) + " " + token_ + "\n";
    if (!common::writeFileReplacing(path_, text, &reason)) return fail(reason);
    return true;
}

void DeviceServer::closeEndpoint() {
    for (Socket* s : {&listen_fd_, &wake_[0], &wake_[1]}) {
        if (*s != kNoSocket) ::closesocket(sock(*s));
        *s = kNoSocket;
    }
    // Only the file this server wrote is removed, never one that a server
    // that took over the name wrote since.
    if (lock_ != -1 && !token_.empty() && portFileIsOurs(path_, token_)) ::DeleteFileA(path_.c_str());
    if (lock_ != -1) ::CloseHandle(reinterpret_cast<HANDLE>(lock_));
    lock_ = -1;
    token_.clear();
}

void DeviceServer::wakeUp() {
    const char byte = 0;
    ::send(sock(wake_[1]), &byte, 1, 0);
}

void DeviceServer::closeSocket(Socket fd) { ::closesocket(sock(fd)); }

// Reports may leave in pieces: `sent` keeps the place in the first one.
void DeviceServer::flush(Connection& connection) {
    while (connection.fd != kNoSocket && !connection.outbox.empty()) {
        const Bytes& report = connection.outbox.front();
        const int n = ::send(sock(connection.fd), reinterpret_cast<const char*>(report.data()) + connection.sent,
                             static_cast<int>(report.size() - connection.sent), 0);
        if (n == SOCKET_ERROR) {
            if (::WSAGetLastError() != WSAEWOULDBLOCK) closeConnection(connection);
            return;  // else the rest when it drains
        }
        connection.sent += static_cast<std::size_t>(n);
        if (connection.sent == report.size()) {
            connection.outbox.pop_front();
            connection.sent = 0;
        }
    }
}

void DeviceServer::acceptHost() {
    const SOCKET s = ::accept(sock(listen_fd_), nullptr, nullptr);
    if (s == INVALID_SOCKET) return;
    setNonBlocking(s);
    const BOOL on = TRUE;
    ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    Connection c;
    c.fd = static_cast<Socket>(s);
    c.opened = std::chrono::steady_clock::now();
    connections_.push_back(std::move(c));
}

void DeviceServer::run() {
    while (running_) {
        // Hosts whose time for the token is up go first: a closed socket
        // must not reach WSAPoll.
        const auto now = std::chrono::steady_clock::now();
        int timeout = -1;  // until the next host's time for its token is up
        for (Connection& c : connections_) {
            if (c.token_seen) continue;
            if (now >= c.opened + kTokenWait) {
                trace("-- a host sent no token in time; disconnecting");
                closeConnection(c);
                continue;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(c.opened + kTokenWait - now);
            if (timeout < 0 || left.count() + 1 < timeout) timeout = static_cast<int>(left.count()) + 1;
        }
        dropClosed();
        std::vector<WSAPOLLFD> fds{{sock(wake_[0]), POLLRDNORM, 0}, {sock(listen_fd_), POLLRDNORM, 0}};
        for (const Connection& c : connections_) {
            fds.push_back({sock(c.fd), static_cast<SHORT>(POLLRDNORM | (c.outbox.empty() ? 0 : POLLWRNORM)), 0});
        }
        if (::WSAPoll(fds.data(), static_cast<ULONG>(fds.size()), timeout) == SOCKET_ERROR) break;
        if (fds[0].revents) {
            char drain[16];
            while (::recv(sock(wake_[0]), drain, sizeof drain, 0) > 0) {}
        }
        unplugIfAsked();
        if (!running_) break;
        for (std::size_t i = 2; i < fds.size(); ++i) {
            Connection& c = connections_[i - 2];
            if (sock(c.fd) != fds[i].fd) continue;
            if (fds[i].revents & POLLWRNORM) flush(c);
            if (c.fd != kNoSocket && (fds[i].revents & ~POLLWRNORM) != 0) receive(c);
        }
        if (fds[1].revents & POLLRDNORM) acceptHost();
        dropClosed();
    }
}

// The token first; then whole reports, however the stream cut them.
void DeviceServer::receive(Connection& connection) {
    char buffer[512];
    const int n = ::recv(sock(connection.fd), buffer, sizeof buffer, 0);
    if (n == 0 || (n == SOCKET_ERROR && ::WSAGetLastError() != WSAEWOULDBLOCK)) {
        closeConnection(connection);
        return;
    }
    if (n < 0) return;
    connection.inbox.insert(connection.inbox.end(), buffer, buffer + n);
    if (!connection.token_seen) {
        if (connection.inbox.size() < kTokenDigits) return;
        if (!sameToken(connection.inbox.data(), token_)) {
            trace("-- a host without the token; disconnecting");
            closeConnection(connection);
            return;
        }
        connection.inbox.erase(connection.inbox.begin(), connection.inbox.begin() + kTokenDigits);
        connection.token_seen = true;
    }
    std::size_t used = 0;
    while (connection.fd != kNoSocket && connection.inbox.size() - used >= kReport) {
        std::uint8_t report[kReport];
        std::memcpy(report, connection.inbox.data() + used, kReport);
        used += kReport;
        onReport(connection, report, kReport);
    }
    connection.inbox.erase(connection.inbox.begin(), connection.inbox.begin() + static_cast<std::ptrdiff_t>(used));
}

}  // namespace sim
