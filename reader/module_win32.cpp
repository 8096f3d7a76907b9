// Windows: LoadLibraryA, GetProcAddress, FreeLibrary, and this library's
// own folder from GetModuleFileNameA.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "module.h"

namespace kv {
namespace modules {

Handle load(const std::string& path) {
    // The binding joins folder and file with '/'; the loader wants '\'.
    std::string native = path;
    for (char& c : native) {
        if (c == '/') c = '\\';
    }
    // No "cannot find" dialog from the system for a missing file: the
    // caller reports the failure itself.
    const UINT previous = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = ::LoadLibraryA(native.c_str());
    ::SetErrorMode(previous);
    return reinterpret_cast<Handle>(module);
}

void* symbol(Handle module, const char* name) {
    if (module == nullptr) return nullptr;
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(module), name));
}

void unload(Handle module) {
    if (module != nullptr) ::FreeLibrary(static_cast<HMODULE>(module));
}

std::string ownFolder() {
    HMODULE self = nullptr;
    if (!::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              reinterpret_cast<LPCSTR>(&ownFolder), &self)) {
        return ".";
    }
    char path[MAX_PATH + 1] = {};
    const DWORD length = ::GetModuleFileNameA(self, path, MAX_PATH);
    // Zero: failed; MAX_PATH: cut short, so the folder cannot be trusted.
    if (length == 0 || length >= MAX_PATH) return ".";
    const char* slash = std::strrchr(path, '\\');
    return slash == nullptr ? std::string(".") : std::string(path, static_cast<std::size_t>(slash - path));
}

std::vector<std::string> libraryFileNames(const std::string& name, int) { return {name + ".dll"}; }

void reportFailure(const char* text) {
    // Standard error always (a console program or a test sees it there);
    // the message box only where there is a desktop to show it on and it
    // is not turned off (KOVALINK_MESSAGES=stderr, for unattended runs).
    std::fprintf(stderr, "%s\n", text);
    std::fflush(stderr);
    const char* messages = std::getenv("KOVALINK_MESSAGES");
    if (messages != nullptr && std::strcmp(messages, "stderr") == 0) return;
    HDESK desktop = ::OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS);
    if (desktop == nullptr) return;
    ::CloseDesktop(desktop);
    ::MessageBoxA(nullptr, text, "KovalinkHID", MB_OK);
}

}  // namespace modules
}  // namespace kv
