// The device server's socket on Linux: SOCK_SEQPACKET in the virtual-device
// folder, one report per message, a pipe to wake the serving thread.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "reader_list.h"
#include "server/device_server.h"

namespace sim {
namespace {

// After accept fails for want of file descriptors, new hosts wait this long
// instead of the server spinning on the ready listening socket.
constexpr auto kAcceptBackoff = std::chrono::milliseconds(200);

// A socket file nobody listens on is left over from a reader that died.
bool someoneListens(const sockaddr_un& address) {
    // Non-blocking: a stopped server with a full backlog answers EAGAIN at once.
    const int probe = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (probe < 0) return false;
    const bool listening = ::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ||
                           errno == EAGAIN;  // a full backlog: someone listens
    ::close(probe);
    return listening;
}

int fdOf(std::intptr_t socket) { return static_cast<int>(socket); }

}  // namespace

bool prepareServingFolder(const std::string& dir, std::string* why) {
    if (dir.empty()) {
        if (why) *why = "no virtual-device folder";
        return false;
    }
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
        if (why) *why = "cannot create " + dir + ": " + std::strerror(errno);
        return false;
    }
    std::string reason;
    if (!tavo::virtualDirTrusted(dir, &reason)) {
        if (why) *why = "refusing to serve in " + reason + " (the folder must be this user's alone: mode 0700)";
        return false;
    }
    return true;
}

bool DeviceServer::openEndpoint(std::string* why) {
    auto fail = [&](const std::string& reason) {
        if (why) *why = reason;
        if (listen_fd_ != kNoSocket) ::close(fdOf(listen_fd_));
        if (lock_ >= 0) ::close(static_cast<int>(lock_));
        listen_fd_ = kNoSocket;
        lock_ = -1;
        return false;
    };
    std::string reason;
    if (!prepareServingFolder(options_.dir, &reason)) return fail(reason);
    path_ = options_.dir + "/" + tavo::virtualDeviceFileName(options_.vendor_id, options_.product_id, options_.name);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path_.size() >= sizeof address.sun_path) return fail("socket path too long: " + path_);
    std::memcpy(address.sun_path, path_.c_str(), path_.size() + 1);

    // One server per socket name: whoever holds the lock owns the socket file,
    // so servers started together cannot both bind, nor remove each other's.
    const std::string lock_path = path_ + ".lock";
    lock_ = ::open(lock_path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600);
    if (lock_ < 0) return fail("cannot open the lock file " + lock_path + ": " + std::strerror(errno));
    if (::flock(static_cast<int>(lock_), LOCK_EX | LOCK_NB) != 0) {
        return fail(errno == EWOULDBLOCK ? path_ + " is served by another reader"
                                         : "cannot lock " + lock_path + ": " + std::strerror(errno));
    }
    struct stat existing {};
    if (::lstat(path_.c_str(), &existing) == 0) {
        if (!S_ISSOCK(existing.st_mode)) return fail(path_ + " exists and is not a socket; it is left alone");
        if (someoneListens(address)) return fail(path_ + " is served by another reader");
        ::unlink(path_.c_str());  // left over from a reader that died
    }

    listen_fd_ = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listen_fd_ < 0) return fail(std::string("socket: ") + std::strerror(errno));
    if (::bind(fdOf(listen_fd_), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        return fail("bind " + path_ + ": " + std::strerror(errno));
    }
    struct stat bound {};
    if (::lstat(path_.c_str(), &bound) != 0) return fail("bind " + path_ + ": " + std::strerror(errno));
    socket_device_ = bound.st_dev;
    socket_inode_ = bound.st_ino;
    ::chmod(path_.c_str(), 0600);
    if (::listen(fdOf(listen_fd_), 8) != 0) return fail(std::string("listen: ") + std::strerror(errno));
    int wake[2];
    if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) return fail(std::string("pipe: ") + std::strerror(errno));
    wake_[0] = wake[0];
    wake_[1] = wake[1];
    return true;
}

void DeviceServer::closeEndpoint() {
    ::close(fdOf(listen_fd_));
    ::close(fdOf(wake_[0]));
    ::close(fdOf(wake_[1]));
    listen_fd_ = wake_[0] = wake_[1] = kNoSocket;
    // Only the socket this server bound is removed: never a file someone put
    // in its place, nor the socket of a server that took over the name.
    struct stat now {};
    if (::lstat(path_.c_str(), &now) == 0 && S_ISSOCK(now.st_mode) && now.st_dev == socket_device_ &&
        now.st_ino == socket_inode_) {
        ::unlink(path_.c_str());
    }
    ::close(static_cast<int>(lock_));
    lock_ = -1;
}

void DeviceServer::wakeUp() {
    const char byte = 0;
    (void)!::write(fdOf(wake_[1]), &byte, 1);
}

void DeviceServer::closeSocket(Socket fd) { ::close(fdOf(fd)); }

void DeviceServer::flush(Connection& connection) {
    while (connection.fd != kNoSocket && !connection.outbox.empty()) {
        const Bytes& report = connection.outbox.front();
        const ssize_t n = ::send(fdOf(connection.fd), report.data(), report.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;  // the rest when it drains
        if (n < 0) {
            closeConnection(connection);
            return;
        }
        connection.outbox.pop_front();
    }
}

void DeviceServer::acceptHost() {
    const int fd = ::accept4(fdOf(listen_fd_), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd >= 0) {
        Connection c;
        c.fd = fd;
        connections_.push_back(std::move(c));
    } else if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
        trace(std::string("-- cannot accept a host: ") + std::strerror(errno) + "; waiting");
        accept_resume_ = std::chrono::steady_clock::now() + kAcceptBackoff;
    }
}

void DeviceServer::run() {
    while (running_) {
        const auto now = std::chrono::steady_clock::now();
        const bool accepting = now >= accept_resume_;
        std::vector<pollfd> fds{{fdOf(wake_[0]), POLLIN, 0}, {accepting ? fdOf(listen_fd_) : -1, POLLIN, 0}};
        for (const Connection& c : connections_) {
            fds.push_back({fdOf(c.fd), static_cast<short>(POLLIN | (c.outbox.empty() ? 0 : POLLOUT)), 0});
        }
        const int timeout = accepting ? -1
                                      : static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                             accept_resume_ - now).count()) + 1;
        if (::poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) break;
        if (fds[0].revents) {
            char drain[16];
            while (::read(fdOf(wake_[0]), drain, sizeof drain) > 0) {}
        }
        unplugIfAsked();
        if (!running_) break;
        for (std::size_t i = 2; i < fds.size(); ++i) {
            Connection& c = connections_[i - 2];
            if (fdOf(c.fd) != fds[i].fd) continue;
            if (fds[i].revents & POLLOUT) flush(c);
            if (c.fd != kNoSocket && (fds[i].revents & ~POLLOUT) != 0) receive(c);
        }
        if (fds[1].revents & POLLIN) acceptHost();
        dropClosed();
    }
}

// One message is one report.
void DeviceServer::receive(Connection& connection) {
    std::uint8_t message[64];
    const ssize_t n = ::recv(fdOf(connection.fd), message, sizeof message, MSG_DONTWAIT);
    if (n <= 0) {
        if (n == 0 || (errno != EAGAIN && errno != EINTR)) closeConnection(connection);
        return;
    }
    onReport(connection, message, static_cast<std::size_t>(n));
}

}  // namespace sim
