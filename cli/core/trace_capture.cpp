#include "trace_capture.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform.h"

namespace kl {

TraceCapture::~TraceCapture() {
    if (fd_ >= 0) ::close(fd_);
    remove();
}

std::string TraceCapture::start() {
    std::string name;
    fd_ = createTemporaryFile("kovalink-trace", &name);  // a new file only this user may read
    if (fd_ < 0) return name + ": " + std::strerror(errno);
    path_ = name;
    setEnvironment("TAVOHID_TRACE", path_);
    return {};
}

void TraceCapture::unlink() {
    if (kRemovesOpenFiles) remove();
}

void TraceCapture::remove() {
    if (path_.empty()) return;
    ::unlink(path_.c_str());
    path_.clear();
}

std::string TraceCapture::take() {
    std::string text;
    if (fd_ < 0) return text;
    // Windows C runtimes remember an end of file once met; a seek forgets it.
    ::lseek(fd_, 0, SEEK_CUR);
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
