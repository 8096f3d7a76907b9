// hidraw devices as sysfs lists them: /sys/class/hidraw/hidrawN/device/uevent
// carries HID_ID=<bus>:<vendor>:<product> (hex) and HID_NAME=, and the report
// descriptor lies beside it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device.h"
#include "report_descriptor.h"

namespace tavo {

// Takes the ids and the name from a uevent text. False when HID_ID is missing
// or malformed, or when an id does not fit 16 bits (such a device cannot be
// a USB reader, and cutting its id down could make it look like one).
bool parseUevent(const std::string& text, std::uint16_t* vendor_id, std::uint16_t* product_id, std::string* name);

// True for "hidrawN" (N decimal); `*number` gets N.
bool parseHidrawNode(const std::string& node, int* number);

// The hidraw devices, ordered by N; the path of each is <dev_root>/hidrawN.
// Entries whose uevent cannot be read or parsed, or whose paths would be too
// long for the platform, are left out; `passed_over` (when given) gets them
// with the reason, also ordered by N.
std::vector<DeviceInfo> enumerateHidraw(const std::string& sysfs_root, const std::string& dev_root,
                                        std::vector<PassedOver>* passed_over = nullptr);

// The report lengths of node "hidrawN" from its report descriptor; falls back
// (with the reason) when the descriptor is missing or unreadable.
ReportLayout readReportLayout(const std::string& sysfs_root, const std::string& node);

}  // namespace tavo
