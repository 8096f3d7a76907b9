// The folder of virtual readers (which folder and whether it may be trusted
// are in reader_list.h): the sockets in it named <vid>-<pid>-<name>.sock.
#pragma once

#include <string>
#include <vector>

#include "device.h"
#include "reader_list.h"

namespace tavo {

// The sockets of `dir` by file name. Entries ending in ".sock" whose names
// do not follow the pattern go to `passed_over` (when given) with the reason.
std::vector<DeviceInfo> enumerateVirtual(const std::string& dir, std::vector<PassedOver>* passed_over = nullptr);

}  // namespace tavo
