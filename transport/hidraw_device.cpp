#include "hidraw_device.h"

#include <linux/hidraw.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <utility>

#include "fd_io.h"

#ifndef HIDIOCSOUTPUT
#define HIDIOCSOUTPUT(len) _IOC(_IOC_WRITE | _IOC_READ, 'H', 0x0B, len)
#endif

namespace tavo {
namespace {

using Clock = std::chrono::steady_clock;

int msLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

HidrawDevice::HidrawDevice(int fd, ReportLayout layout) : fd_(fd), layout_(std::move(layout)) {}

HidrawDevice::~HidrawDevice() { ::close(fd_); }

IoStatus HidrawDevice::write(const std::uint8_t* report, std::size_t length, int timeout_ms) {
    const IoStatus ready = waitFd(fd_, POLLOUT, timeout_ms);
    if (ready != IoStatus::ok) return ready;
    const ssize_t n = writeWithoutSigpipe(fd_, report, length);
    if (n == static_cast<ssize_t>(length)) return IoStatus::ok;
    return n < 0 ? statusFromErrno(errno) : IoStatus::error;
}

IoStatus HidrawDevice::read(std::uint8_t* buffer, std::size_t capacity, std::size_t* length, int timeout_ms) {
    *length = 0;
    const std::size_t id_byte = layout_.report_ids ? 0 : 1;
    if (capacity <= id_byte) return IoStatus::error;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        const IoStatus ready = waitFd(fd_, POLLIN, msLeft(deadline));
        if (ready != IoStatus::ok) return ready;
        const ssize_t n = ::read(fd_, buffer + id_byte, capacity - id_byte);
        if (n > 0) {
            if (id_byte != 0) buffer[0] = 0;
            *length = static_cast<std::size_t>(n) + id_byte;
            return IoStatus::ok;
        }
        if (n == 0) return IoStatus::gone;  // end of file: the other side is gone
        // Readable but nothing there (another reader was quicker): wait again.
        if (errno != EINTR && errno != EAGAIN) return statusFromErrno(errno);
        if (msLeft(deadline) == 0) return IoStatus::timeout;
    }
}

void HidrawDevice::sendSetup(const std::uint8_t* report, std::size_t length) {
    std::uint8_t buffer[kReportBuffer] = {};
    length = std::min(length, sizeof buffer);
    std::memcpy(buffer, report, length);
    (void)::ioctl(fd_, HIDIOCSOUTPUT(length), buffer);
}

}  // namespace tavo
