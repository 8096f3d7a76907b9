#include "platform.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace kl {

void setEnvironment(const char* name, const std::string& value) {
#ifdef _WIN32
    ::_putenv_s(name, value.c_str());
#else
    ::setenv(name, value.c_str(), 1);
#endif
}

std::string temporaryFolder() {
#ifdef _WIN32
    const char* names[] = {"TEMP", "TMP"};
    const char* fallback = ".";
#else
    const char* names[] = {"TMPDIR"};
    const char* fallback = "/tmp";
#endif
    for (const char* name : names) {
        const char* dir = std::getenv(name);
        if (dir != nullptr && *dir != '\0') return dir;
    }
    return fallback;
}

int createTemporaryFile(const std::string& prefix, std::string* path) {
    std::string name = temporaryFolder() + "/" + prefix + "-";
#ifdef _WIN32
    // mkstemp would deny others the file; this one is shared. The name is
    // new (_O_EXCL); the folder is the user's own.
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        char unique[40];
        std::snprintf(unique, sizeof unique, "%lu-%lu-%u", ::GetCurrentProcessId(), ::GetTickCount(), attempt);
        int fd = -1;
        const errno_t error = ::_sopen_s(&fd, (name + unique).c_str(), _O_RDWR | _O_CREAT | _O_EXCL | _O_BINARY,
                                         _SH_DENYNO, _S_IREAD | _S_IWRITE);
        if (error == 0) {
            *path = name + unique;
            return fd;
        }
        if (error != EEXIST) break;
    }
    *path = name;
    return -1;
#else
    name += "XXXXXX";
    const int fd = ::mkstemp(name.data());  // mode 0600
    *path = name;
    return fd;
#endif
}

}  // namespace kl
