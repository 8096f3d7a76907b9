#include "fd_io.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

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

// The signal is blocked for the write, and one it raised is taken back
// before the mask is restored.
ssize_t writeWithoutSigpipe(int fd, const void* data, std::size_t length) {
    sigset_t pipe_only, old_mask, pending;
    sigemptyset(&pipe_only);
    sigaddset(&pipe_only, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe_only, &old_mask);
    sigpending(&pending);
    const bool was_pending = sigismember(&pending, SIGPIPE) == 1;

    ssize_t n;
    do {
        n = ::write(fd, data, length);
    } while (n < 0 && errno == EINTR);
    const int error = errno;

    if (n < 0 && error == EPIPE && !was_pending) {
        const timespec no_wait{};
        while (sigtimedwait(&pipe_only, nullptr, &no_wait) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &old_mask, nullptr);
    errno = error;
    return n;
}

}  // namespace tavo
