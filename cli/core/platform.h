// The few things kovalink does differently on Windows: the environment,
// temporary files, and removing a file that is still open.
#pragma once

#include <string>

namespace kl {

// Sets an environment variable for this process and the libraries it loads.
void setEnvironment(const char* name, const std::string& value);

// Where temporary files go: $TMPDIR or /tmp; on Windows %TEMP%.
std::string temporaryFolder();

// Creates a new file "<temporary folder>/<prefix>-<unique>" that only this
// user may read and that other programs may open alongside (the transport
// appends to it); its name goes to `path`. The descriptor, or -1.
int createTemporaryFile(const std::string& prefix, std::string* path);

// True when a file may be removed while it is open (POSIX). On Windows it
// is removed once closed.
constexpr bool kRemovesOpenFiles =
#ifdef _WIN32
    false;
#else
    true;
#endif

}  // namespace kl
