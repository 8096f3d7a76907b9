// A sysfs and a /dev in a private temporary folder, for the hidraw
// enumeration and the reader list.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "hidraw_enum.h"

namespace tavotest {

namespace fs = std::filesystem;

inline const std::string kReaderUevent =
    "DRIVER=hid-generic\n"
    "HID_ID=0003:00001A86:0000E010\n"
    "HID_NAME=WCH.CN USB Reader\n"
    "HID_PHYS=usb-0000:00:14.0-2/input0\n"
    "HID_UNIQ=\n"
    "MODALIAS=hid:b0003g0001v00001A86p0000E010\n";

// 32 bytes in and out on the vendor page, no report ids.
inline const std::string kVendorDescriptor(
    "\x06\x00\xFF\x09\x01\xA1\x01\x75\x08\x95\x20\x81\x02\x91\x02\xC0", 16);

// A sysfs and a /dev in a private temporary folder.
class FakeSysfs : public ::testing::Test {
protected:
    fs::path root;
    std::string sysfs, dev;

    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "hidraw-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        root = tmpl;
        sysfs = (root / "sys").string();
        dev = (root / "dev").string();
        fs::create_directories(root / "sys/class/hidraw");
        fs::create_directories(root / "dev");
    }
    void TearDown() override { fs::remove_all(root); }

    fs::path deviceDir(const std::string& node) { return root / "sys/class/hidraw" / node / "device"; }

    void addNode(const std::string& node, const std::string& uevent, const std::string* descriptor = nullptr) {
        fs::create_directories(deviceDir(node));
        std::ofstream(deviceDir(node) / "uevent", std::ios::binary) << uevent;
        if (descriptor) std::ofstream(deviceDir(node) / "report_descriptor", std::ios::binary) << *descriptor;
    }

    static std::string uevent(const std::string& id, const std::string& name = "x") {
        return "HID_ID=" + id + "\nHID_NAME=" + name + "\n";
    }

    std::vector<std::string> paths() {
        std::vector<std::string> out;
        for (const tavo::DeviceInfo& info : tavo::enumerateHidraw(sysfs, dev)) out.push_back(info.path);
        return out;
    }
};

}  // namespace tavotest
