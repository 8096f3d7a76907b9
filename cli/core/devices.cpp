#include "devices.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "virtual_device.h"

namespace kl {
namespace {

// HID_ID=0003:00001A86:0000E010 and HID_NAME=... from a uevent file.
bool readUevent(const std::string& file, Device* device) {
    std::ifstream in(file);
    bool have_id = false;
    for (std::string line; std::getline(in, line);) {
        unsigned bus = 0, vid = 0, pid = 0;
        if (line.rfind("HID_ID=", 0) == 0 && std::sscanf(line.c_str() + 7, "%x:%x:%x", &bus, &vid, &pid) == 3) {
            device->vendor_id = static_cast<std::uint16_t>(vid);
            device->product_id = static_cast<std::uint16_t>(pid);
            have_id = true;
        } else if (line.rfind("HID_NAME=", 0) == 0) {
            device->name = line.substr(9);
        }
    }
    return have_id;
}

std::vector<Device> hidrawDevices(const std::string& sysfs, const std::string& dev) {
    std::vector<Device> devices;
    const std::string dir = sysfs + "/class/hidraw";
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) return devices;
    while (const dirent* entry = ::readdir(d)) {
        const std::string node = entry->d_name;
        if (node.rfind("hidraw", 0) != 0) continue;
        Device device;
        device.backend = "hidraw";
        device.path = dev + "/" + node;
        if (!readUevent(dir + "/" + node + "/device/uevent", &device)) continue;
        device.accessible = ::access(device.path.c_str(), R_OK | W_OK) == 0;
        devices.push_back(device);
    }
    ::closedir(d);
    // hidraw2 before hidraw10, as the transport enumerates them.
    std::sort(devices.begin(), devices.end(), [](const Device& a, const Device& b) {
        return a.path.size() != b.path.size() ? a.path.size() < b.path.size() : a.path < b.path;
    });
    return devices;
}

}  // namespace

DeviceScan scanDevices(const std::string& sysfs, const std::string& dev) {
    DeviceScan scan;
    scan.devices = hidrawDevices(sysfs, dev);
    scan.virtual_dir = tavo::virtualDeviceDir();
    if (scan.virtual_dir.empty()) return scan;
    if (!tavo::virtualDirTrusted(scan.virtual_dir, &scan.virtual_ignored)) return scan;
    for (const tavo::DeviceInfo& info : tavo::makeVirtualBackend()->enumerate()) {
        Device device;
        device.backend = "virtual";
        device.path = info.path;
        device.name = info.name;
        device.vendor_id = info.vendor_id;
        device.product_id = info.product_id;
        device.accessible = ::access(info.path.c_str(), R_OK | W_OK) == 0;
        scan.devices.push_back(device);
    }
    return scan;
}

}  // namespace kl
