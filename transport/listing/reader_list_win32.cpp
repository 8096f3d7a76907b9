// Windows: the readers the transport's backends would consider, HID class
// devices first, then readersim's TCP endpoints in the virtual-device folder.
// The backends themselves live in this library on Windows, since their
// enumeration is the search.
#include <windows.h>

#include <cstdlib>

#include "backends.h"
#include "reader_list.h"

namespace tavo {

ReaderList listReaders(const std::string&, const std::string&) {
    ReaderList list;
    list.virtual_dir = virtualDeviceDir();
    // The virtual backend searches only a folder that passes this check.
    if (!list.virtual_dir.empty()) virtualDirTrusted(list.virtual_dir, &list.virtual_dir_ignored);
    for (const std::unique_ptr<Backend>& backend : defaultBackends()) {
        for (const DeviceInfo& info : backend->enumerate()) {
            ReaderCandidate candidate;
            candidate.backend = info.backend;
            candidate.path = info.path;
            candidate.name = info.name;
            candidate.vendor_id = info.vendor_id;
            candidate.product_id = info.product_id;
            candidate.ids_known = true;
            list.candidates.push_back(candidate);
        }
    }
    return list;
}

// %TAVOHID_VIRTUAL_DIR% when set (set but empty: none), else
// %LOCALAPPDATA%\tavohid, which only its user may read.
std::string virtualDeviceDir() {
    if (const char* dir = std::getenv("TAVOHID_VIRTUAL_DIR")) return dir;
    const char* local = std::getenv("LOCALAPPDATA");
    return local != nullptr && *local != '\0' ? std::string(local) + "\\tavohid" : std::string();
}

// A folder, not a link or junction to somewhere else. Who may read it is
// left to its access list (a folder under %LOCALAPPDATA% is the user's own).
bool virtualDirTrusted(const std::string& dir, std::string* why) {
    const DWORD attributes = ::GetFileAttributesA(dir.c_str());
    std::string reason;
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        reason = dir + " does not exist";
    } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        reason = dir + " is not a folder";
    } else if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        reason = dir + " is a link to another folder";
    }
    if (reason.empty()) return true;
    if (why) *why = reason;
    return false;
}

}  // namespace tavo
