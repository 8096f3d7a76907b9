#include "virtual_device.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "exchange.h"
#include "fd_io.h"
#include "virtual_folder.h"

namespace tavo {
namespace {

class VirtualDevice final : public Device {
public:
    explicit VirtualDevice(int fd) : fd_(fd) {}
    ~VirtualDevice() override { ::close(fd_); }

    IoStatus write(const std::uint8_t* report, std::size_t length, int timeout_ms) override {
        // The device speaks in 33-byte reports whatever length we are told.
        std::uint8_t message[kReportSize] = {};
        std::memcpy(message, report, std::min(length, kReportSize));
        // Try at once; wait for room only when the socket is full.
        ssize_t n = ::send(fd_, message, sizeof message, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const IoStatus ready = waitFd(fd_, POLLOUT, timeout_ms);
            if (ready != IoStatus::ok) return ready;
            n = ::send(fd_, message, sizeof message, MSG_NOSIGNAL | MSG_DONTWAIT);
        }
        if (n == static_cast<ssize_t>(sizeof message)) return IoStatus::ok;
        return n < 0 ? statusFromErrno(errno) : IoStatus::error;
    }

    IoStatus read(std::uint8_t* buffer, std::size_t capacity, std::size_t* length, int timeout_ms) override {
        *length = 0;
        // A blocking receive bounded by the socket's receive time-out costs
        // one system call per report; the time-out is set only when it changes.
        int flags = 0;
        if (timeout_ms <= 0) {
            flags = MSG_DONTWAIT;
        } else if (timeout_ms != receive_timeout_ms_) {
            timeval tv{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
            if (::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv) != 0) return statusFromErrno(errno);
            receive_timeout_ms_ = timeout_ms;
        }
        ssize_t n;
        do {
            n = ::recv(fd_, buffer, capacity, flags);
        } while (n < 0 && errno == EINTR);
        if (n == 0) return IoStatus::gone;  // peer closed: unplugged
        if (n < 0) return statusFromErrno(errno);
        *length = static_cast<std::size_t>(n);
        return IoStatus::ok;
    }

    void sendSetup(const std::uint8_t* report, std::size_t length) override {
        (void)write(report, length, kSetupTimeoutMs);
    }

    int inputReportLength() const override { return static_cast<int>(kReportSize); }
    int outputReportLength() const override { return static_cast<int>(kReportSize); }

private:
    static constexpr int kSetupTimeoutMs = 1000;
    int fd_;
    int receive_timeout_ms_ = 0;
};

// A reader that is stopped (or too busy to accept) while its backlog is full
// would hold a blocking connect() forever; a non-blocking one is retried until
// the budget is spent. A local socket answers EAGAIN at once when its
// backlog is full, so the wait is a short sleep between tries.
constexpr int kConnectTimeoutMs = kWriteTimeoutMs;
constexpr int kConnectRetryMs = 20;

bool connectWithin(int fd, const sockaddr_un& address, int timeout_ms, std::string* why) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) return true;
        const int error = errno;
        if (error == EINPROGRESS) {  // completes in the background: wait for it
            int result = 0;
            socklen_t size = sizeof result;
            const IoStatus ready = waitFd(fd, POLLOUT, timeout_ms);
            if (ready == IoStatus::ok && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &result, &size) == 0 && result == 0) {
                return true;
            }
            if (why) *why = ready == IoStatus::timeout ? "the reader does not accept connections (timed out)"
                                                       : std::strerror(result != 0 ? result : errno);
            return false;
        }
        if (error != EAGAIN && error != EINTR) {
            if (why) *why = std::strerror(error);
            return false;
        }
        if (Clock::now() >= deadline) {
            if (why) *why = "the reader does not accept connections (timed out)";
            return false;
        }
        ::poll(nullptr, 0, kConnectRetryMs);
    }
}

class VirtualBackend final : public Backend {
public:
    std::vector<DeviceInfo> enumerate() override {
        const std::string dir = virtualDeviceDir();
        if (dir.empty() || !virtualDirTrusted(dir, nullptr)) return {};
        return enumerateVirtual(dir);
    }

    std::unique_ptr<Device> open(const DeviceInfo& info, std::string* why) override {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (info.path.size() >= sizeof address.sun_path) {
            if (why) *why = "socket path too long";
            return nullptr;
        }
        std::memcpy(address.sun_path, info.path.c_str(), info.path.size() + 1);
        const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0) {
            if (why) *why = std::strerror(errno);
            return nullptr;
        }
        if (!connectWithin(fd, address, kConnectTimeoutMs, why)) {
            ::close(fd);
            return nullptr;
        }
        // The device's own calls choose per call whether to wait.
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        return std::make_unique<VirtualDevice>(fd);
    }
};

}  // namespace

std::unique_ptr<Backend> makeVirtualBackend() { return std::make_unique<VirtualBackend>(); }

}  // namespace tavo
