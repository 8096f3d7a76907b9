// The trace sink on Windows: a file opened for appending, or standard error.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "wire_trace.h"

namespace tavo {
namespace {

class HandleSink final : public TraceSink {
public:
    HandleSink(HANDLE handle, bool owned) : handle_(handle), owned_(owned) {}
    ~HandleSink() override {
        if (owned_) ::CloseHandle(handle_);
    }
    HandleSink(const HandleSink&) = delete;
    HandleSink& operator=(const HandleSink&) = delete;

    // One write per line (the file is opened for appending only, so each
    // write lands at its end); whatever fails is dropped.
    void write(const char* text, std::size_t length) noexcept override {
        DWORD written = 0;
        (void)::WriteFile(handle_, text, static_cast<DWORD>(length), &written, nullptr);
    }

private:
    HANDLE handle_;
    bool owned_;
};

}  // namespace

std::unique_ptr<TraceSink> traceSinkFromEnvironment() {
    const char* target = std::getenv("TAVOHID_TRACE");
    if (target == nullptr || *target == '\0') return nullptr;
    if (std::strcmp(target, "-") == 0 || std::strcmp(target, "stderr") == 0) {
        HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
        if (error == nullptr || error == INVALID_HANDLE_VALUE) return nullptr;
        return std::make_unique<HandleSink>(error, false);
    }
    HANDLE file = ::CreateFileA(target, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<HandleSink>(file, true);
}

}  // namespace tavo
