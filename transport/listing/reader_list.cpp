#include "reader_list.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "hidraw_enum.h"
#include "virtual_folder.h"

namespace tavo {
namespace {

// The transport opens a reader for reading and writing; one this user may
// not open that way is passed over when it is met.
std::string openRefusal(const std::string& path) {
    if (::access(path.c_str(), R_OK | W_OK) == 0) return {};
    return errno == EACCES ? "no permission to open it for reading and writing" : std::strerror(errno);
}

void add(ReaderList* list, const std::vector<DeviceInfo>& found, const std::vector<PassedOver>& unknown,
         const char* backend) {
    for (const DeviceInfo& info : found) {
        ReaderCandidate candidate;
        candidate.backend = backend;
        candidate.path = info.path;
        candidate.name = info.name;
        candidate.vendor_id = info.vendor_id;
        candidate.product_id = info.product_id;
        candidate.ids_known = true;
        candidate.passed_over = openRefusal(info.path);
        list->candidates.push_back(candidate);
    }
    for (const PassedOver& entry : unknown) {
        ReaderCandidate candidate;
        candidate.backend = backend;
        candidate.path = entry.path;
        candidate.passed_over = entry.why;
        list->candidates.push_back(candidate);
    }
}

}  // namespace

ReaderList listReaders(const std::string& sysfs_root, const std::string& dev_root) {
    ReaderList list;
    std::vector<PassedOver> unknown;
    const std::vector<DeviceInfo> hidraw = enumerateHidraw(sysfs_root, dev_root, &unknown);
    add(&list, hidraw, unknown, "hidraw");

    list.virtual_dir = virtualDeviceDir();
    if (list.virtual_dir.empty() || !virtualDirTrusted(list.virtual_dir, &list.virtual_dir_ignored)) return list;
    unknown.clear();
    const std::vector<DeviceInfo> sockets = enumerateVirtual(list.virtual_dir, &unknown);
    add(&list, sockets, unknown, "virtual");
    return list;
}

}  // namespace tavo
