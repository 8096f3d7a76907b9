// What readers are present: hidraw devices from sysfs and virtual readers in
// the virtual-device folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kl {

struct Device {
    std::string backend;  // "hidraw" or "virtual"
    std::string path;     // /dev/hidrawN or the socket
    std::string name;
    std::uint16_t vendor_id = 0;
    std::uint16_t product_id = 0;
    bool accessible = true;  // this user may open it for reading and writing
};

struct DeviceScan {
    std::vector<Device> devices;
    std::string virtual_dir;      // empty when virtual readers are disabled
    std::string virtual_ignored;  // why the folder is not searched, if it is not
};

// `sysfs` is "/sys" and `dev` "/dev" except in tests.
DeviceScan scanDevices(const std::string& sysfs = "/sys", const std::string& dev = "/dev");

}  // namespace kl
