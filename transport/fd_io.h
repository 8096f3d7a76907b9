// poll()-based waits shared by the file-descriptor backends.
#pragma once

#include <sys/types.h>

#include <cstddef>

#include "device.h"

namespace tavo {

// Waits until `fd` is ready for `events` (POLLIN or POLLOUT) within the
// budget. POLLHUP, POLLERR and POLLNVAL mean the device went away.
IoStatus waitFd(int fd, short events, int timeout_ms);

// ENODEV, EIO, EPIPE, ECONNRESET and friends mean the device went away.
IoStatus statusFromErrno(int error);

// write(2) that never raises SIGPIPE: a descriptor may be a pipe or socket
// whose reader has gone, and the signal would end the calling program.
// Retries on EINTR; errno is kept.
ssize_t writeWithoutSigpipe(int fd, const void* data, std::size_t length);

}  // namespace tavo
