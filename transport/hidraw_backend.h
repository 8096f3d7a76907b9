// Linux hidraw devices: enumeration from sysfs, report lengths from the
// report descriptor, I/O with poll() time-outs.
#pragma once

#include <memory>
#include <string>

#include "device.h"

namespace tavo {

// `sysfs_root` and `dev_root` are "/sys" and "/dev" except in tests. The
// devices it opens are HidrawDevice (hidraw_device.h), whose layout() tells
// how their report lengths were found.
std::unique_ptr<Backend> makeHidrawBackend(const std::string& sysfs_root = "/sys",
                                           const std::string& dev_root = "/dev");

}  // namespace tavo
