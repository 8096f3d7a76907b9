#include "trace_capture.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace kl {

TraceCapture::~TraceCapture() {
    unlink();
    if (fd_ >= 0) ::close(fd_);
}

std::string TraceCapture::start() {
    const char* tmp = std::getenv("TMPDIR");
    std::string name = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/kovalink-trace-XXXXXX";
    fd_ = ::mkstemp(name.data());  // a new file only this user may read
    if (fd_ < 0) return name + ": " + std::strerror(errno);
    path_ = name;
    ::setenv("TAVOHID_TRACE", path_.c_str(), 1);
    return {};
}

void TraceCapture::unlink() {
    if (path_.empty()) return;
    ::unlink(path_.c_str());
    path_.clear();
}

std::string TraceCapture::take() {
    std::string text;
    if (fd_ < 0) return text;
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::read(fd_, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        text.append(chunk, static_cast<std::size_t>(n));
    }
    return text;
}

}  // namespace kl
