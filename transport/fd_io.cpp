#include "fd_io.h"

#include <poll.h>

#include <cerrno>
#include <chrono>

namespace tavo {

IoStatus waitFd(int fd, short events, int timeout_ms) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        pollfd p{fd, events, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        const int n = ::poll(&p, 1, left > 0 ? static_cast<int>(left) : 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            return statusFromErrno(errno);
        }
        if (n == 0) return IoStatus::timeout;
        if ((p.revents & events) != 0) return IoStatus::ok;
        if ((p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) return IoStatus::gone;
    }
}

IoStatus statusFromErrno(int error) {
    switch (error) {
    case EAGAIN:
        return IoStatus::timeout;
    case ENODEV:
    case ENXIO:
    case EIO:
    case EPIPE:
    case ECONNRESET:
    case ENOTCONN:
    case EBADF:
        return IoStatus::gone;
    default:
        return IoStatus::error;
    }
}

}  // namespace tavo
