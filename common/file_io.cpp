#include "file_io.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace common {
namespace {

std::string errnoText(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

bool readAll(int fd, std::size_t max_bytes, std::string* data, std::string* why) {
    // The file may grow while it is read: take one byte over the limit at most.
    data->resize(max_bytes + 1);
    std::size_t got = 0;
    while (got < data->size()) {
        const ssize_t n = ::read(fd, &(*data)[got], data->size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            *why = errnoText("cannot read the file");
            return false;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    data->resize(got);
    if (got > max_bytes) {
        *why = "the file grew past " + std::to_string(max_bytes) + " bytes";
        return false;
    }
    return true;
}

bool writeAll(int fd, const std::string& content) {
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

bool readBoundedFile(const std::string& path, std::size_t max_bytes, const std::string& kind, std::string* content,
                     std::string* why) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        *why = errnoText("cannot open the file");
        return false;
    }
    struct stat info {};
    std::string reason;
    std::string data;
    if (::fstat(fd, &info) != 0) {
        reason = errnoText("cannot examine the file");
    } else if (!S_ISREG(info.st_mode)) {
        reason = S_ISDIR(info.st_mode) ? "a folder, not " + kind : "not a regular file (a device, FIFO or socket)";
    } else if (static_cast<unsigned long long>(info.st_size) > max_bytes) {
        reason = std::to_string(info.st_size) + " bytes: " + kind + " holds at most " + std::to_string(max_bytes);
    } else {
        readAll(fd, max_bytes, &data, &reason);
    }
    ::close(fd);
    if (!reason.empty()) {
        *why = reason;
        return false;
    }
    *content = std::move(data);
    return true;
}

bool writeFileReplacing(const std::string& path, const std::string& content, std::string* why) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty()) {
        *why = path + ": no file name";
        return false;
    }
    // mkostemp creates the file with O_CREAT | O_EXCL: nothing planted under
    // the temporary name is ever opened.
    std::string temp = (slash == std::string::npos ? std::string() : folder) + "." + name + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        *why = errnoText(("cannot create a file beside " + path).c_str());
        return false;
    }
    // On disk before the rename, so a crash leaves the old file or the new one.
    const bool written = writeAll(fd, content) && ::fsync(fd) == 0;
    const int write_error = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        errno = written ? errno : write_error;
        *why = errnoText(("cannot write " + temp).c_str());
        ::unlink(temp.c_str());
        return false;
    }
    // rename replaces a symlink at `path` itself, never the file it points to.
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        *why = errnoText(("cannot replace " + path).c_str());
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

bool appendPrivateFile(const std::string& path, const std::string& text, std::string* why) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        *why = std::strerror(errno);
        return false;
    }
    struct stat info {};
    const bool private_now =
        ::fstat(fd, &info) != 0 || (info.st_mode & 077) == 0 || ::fchmod(fd, info.st_mode & 0700) == 0;
    bool ok = private_now && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    int error = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (!ok) *why = std::strerror(error);
    return ok;
}

std::string homeFolder() {
    const char* home = std::getenv("HOME");
    return home != nullptr ? home : "";
}

}  // namespace common
