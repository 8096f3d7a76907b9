// The trace sink on POSIX systems: a file opened for appending, or standard
// error.
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "fd_io.h"
#include "wire_trace.h"

namespace tavo {
namespace {

class FdSink final : public TraceSink {
public:
    FdSink(int fd, bool owned) : fd_(fd), owned_(owned) {}
    ~FdSink() override {
        if (owned_) ::close(fd_);
    }
    FdSink(const FdSink&) = delete;
    FdSink& operator=(const FdSink&) = delete;

    // One write per line, so lines of several processes appending to one
    // file stay whole; whatever fails is dropped.
    void write(const char* text, std::size_t length) noexcept override {
        (void)writeWithoutSigpipe(fd_, text, length);
    }

private:
    int fd_;
    bool owned_;
};

}  // namespace

std::unique_ptr<TraceSink> traceSinkFromEnvironment() {
    const char* target = std::getenv("TAVOHID_TRACE");
    if (target == nullptr || *target == '\0') return nullptr;
    if (std::strcmp(target, "-") == 0 || std::strcmp(target, "stderr") == 0) {
        return std::make_unique<FdSink>(STDERR_FILENO, false);
    }
    // Non-blocking: a FIFO without a reader is refused at once instead of
    // holding up the open, and a full one drops lines instead of stalling
    // an exchange. The trace holds card data and keys: only the user may
    // read a file it creates.
    const int fd = ::open(target, O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
    if (fd < 0) return nullptr;
    return std::make_unique<FdSink>(fd, true);
}

}  // namespace tavo
