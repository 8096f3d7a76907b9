// Windows: the same guarantees with the Win32 file calls. A FIFO or device
// is refused by its file type before anything is read; the new file is
// created with CREATE_NEW (nothing planted under its name is opened) and
// moved into place once flushed. Who may read it follows the folder's
// access list (a user's folders are private to the user).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "file_io.h"

namespace common {
namespace {

std::string lastErrorText(const std::string& what) {
    const DWORD code = ::GetLastError();
    char text[256] = {};
    const DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                     sizeof text, nullptr);
    std::string message(text, n);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.')) {
        message.pop_back();
    }
    return what + ": " + (message.empty() ? "error " + std::to_string(code) : message);
}

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (ok()) ::CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }
    bool close() {
        const bool closed = ::CloseHandle(h_) != 0;
        h_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE h_;
};

}  // namespace

bool readBoundedFile(const std::string& path, std::size_t max_bytes, const std::string& kind, std::string* content,
                     std::string* why) {
    // FILE_FLAG_BACKUP_SEMANTICS lets a folder open, so it can be named as such.
    Handle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.ok()) {
        *why = lastErrorText("cannot open the file");
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(file.get()) != FILE_TYPE_DISK) {
        *why = "not a regular file (a device, FIFO or socket)";
        return false;
    }
    if (::GetFileInformationByHandle(file.get(), &info) == 0) {
        *why = lastErrorText("cannot examine the file");
        return false;
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        *why = "a folder, not " + kind;
        return false;
    }
    const unsigned long long size = (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (size > max_bytes) {
        *why = std::to_string(size) + " bytes: " + kind + " holds at most " + std::to_string(max_bytes);
        return false;
    }
    // The file may grow while it is read: take one byte over the limit at most.
    std::string data(max_bytes + 1, '\0');
    std::size_t got = 0;
    while (got < data.size()) {
        DWORD n = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(data.size() - got, 1u << 20));
        if (::ReadFile(file.get(), &data[got], want, &n, nullptr) == 0) {
            *why = lastErrorText("cannot read the file");
            return false;
        }
        if (n == 0) break;
        got += n;
    }
    if (got > max_bytes) {
        *why = "the file grew past " + std::to_string(max_bytes) + " bytes";
        return false;
    }
    data.resize(got);
    *content = std::move(data);
    return true;
}

bool writeFileReplacing(const std::string& path, const std::string& content, std::string* why) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty()) {
        *why = path + ": no file name";
        return false;
    }
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    // A fresh name beside the target, created only if nothing has it.
    std::string temp;
    HANDLE created = INVALID_HANDLE_VALUE;
    for (unsigned attempt = 0; attempt < 100 && created == INVALID_HANDLE_VALUE; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%lu.%u", ::GetCurrentProcessId(), attempt);
        temp = folder + "." + name + suffix;
        created = ::CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) break;
    }
    Handle file(created);
    if (!file.ok()) {
        *why = lastErrorText("cannot create a file beside " + path);
        return false;
    }
    std::size_t done = 0;
    bool written = true;
    while (written && done < content.size()) {
        DWORD n = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1u << 20));
        written = ::WriteFile(file.get(), content.data() + done, chunk, &n, nullptr) != 0 && n > 0;
        done += n;
    }
    // On disk before the move, so a crash leaves the old file or the new one.
    written = written && ::FlushFileBuffers(file.get()) != 0;
    std::string reason = written ? std::string() : lastErrorText("cannot write " + temp);
    if (!file.close() && reason.empty()) reason = lastErrorText("cannot write " + temp);
    if (reason.empty() &&
        ::MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        reason = lastErrorText("cannot replace " + path);
    }
    if (reason.empty()) return true;
    ::DeleteFileA(temp.c_str());
    *why = reason;
    return false;
}

bool appendPrivateFile(const std::string& path, const std::string& text, std::string* why) {
    Handle file(::CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    DWORD n = 0;
    if (!file.ok() || ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &n, nullptr) == 0 ||
        n != text.size()) {
        *why = lastErrorText("cannot append");
        return false;
    }
    return true;
}

std::string homeFolder() {
    const char* home = std::getenv("USERPROFILE");
    return home != nullptr ? home : "";
}

}  // namespace common
