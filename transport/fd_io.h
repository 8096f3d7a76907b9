// poll()-based waits shared by the file-descriptor backends.
#pragma once

#include "device.h"

namespace tavo {

// Waits until `fd` is ready for `events` (POLLIN or POLLOUT) within the
// budget. POLLHUP, POLLERR and POLLNVAL mean the device went away.
IoStatus waitFd(int fd, short events, int timeout_ms);

// ENODEV, EIO, EPIPE, ECONNRESET and friends mean the device went away.
IoStatus statusFromErrno(int error);

}  // namespace tavo
