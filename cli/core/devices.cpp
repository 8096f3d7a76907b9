#include "devices.h"

#include <unistd.h>

#include "hidraw_backend.h"
#include "virtual_device.h"

namespace kl {
namespace {

// The transport's own enumeration, so that the list shows what it would open.
void add(DeviceScan* scan, const std::vector<tavo::DeviceInfo>& found) {
    for (const tavo::DeviceInfo& info : found) {
        Device device;
        device.backend = info.backend.empty() ? "hidraw" : info.backend;
        device.path = info.path;
        device.name = info.name;
        device.vendor_id = info.vendor_id;
        device.product_id = info.product_id;
        device.accessible = ::access(info.path.c_str(), R_OK | W_OK) == 0;
        scan->devices.push_back(device);
    }
}

}  // namespace

DeviceScan scanDevices(const std::string& sysfs, const std::string& dev) {
    DeviceScan scan;
    add(&scan, tavo::makeHidrawBackend(sysfs, dev)->enumerate());
    scan.virtual_dir = tavo::virtualDeviceDir();
    if (scan.virtual_dir.empty()) return scan;
    if (!tavo::virtualDirTrusted(scan.virtual_dir, &scan.virtual_ignored)) return scan;
    add(&scan, tavo::makeVirtualBackend()->enumerate());
    return scan;
}

}  // namespace kl
