// Linux hidraw devices: enumeration from sysfs, report lengths from the
// report descriptor, I/O with poll() time-outs.
#pragma once

#include <memory>
#include <string>

#include "device.h"

namespace tavo {

// `sysfs_root` and `dev_root` are "/sys" and "/dev" except in tests.
std::unique_ptr<Backend> makeHidrawBackend(const std::string& sysfs_root = "/sys",
                                           const std::string& dev_root = "/dev");

}  // namespace tavo
