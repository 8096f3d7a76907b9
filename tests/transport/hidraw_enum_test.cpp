#include "hidraw_enum.h"

#include <gtest/gtest.h>

#include <fstream>

#include "fake_sysfs.h"
#include "hidraw_backend.h"
#include "hidraw_device.h"

namespace {

using tavotest::FakeSysfs;
using tavotest::kReaderUevent;
using tavotest::kVendorDescriptor;
namespace fs = std::filesystem;

TEST(Uevent, IdsAndNameAreTaken) {
    std::uint16_t vid = 0, pid = 0;
    std::string name;
    ASSERT_TRUE(tavo::parseUevent(kReaderUevent, &vid, &pid, &name));
    EXPECT_EQ(vid, 0x1A86);
    EXPECT_EQ(pid, 0xE010);
    EXPECT_EQ(name, "WCH.CN USB Reader");

    ASSERT_TRUE(tavo::parseUevent("HID_ID=0005:0000046d:0000b01a", &vid, &pid, &name));
    EXPECT_EQ(vid, 0x046D);
    EXPECT_EQ(pid, 0xB01A);
    EXPECT_EQ(name, "");
}

TEST(Uevent, MalformedIdsAreRefused) {
    const char* bad[] = {
        "",
        "HID_NAME=no id\n",
        "HID_ID=0003:00001A86\n",             // two fields
        "HID_ID=0003:00001A86:0000E010:1\n",  // four fields
        "HID_ID=0003:00001G86:0000E010\n",    // not hex
        "HID_ID=0003::0000E010\n",            // empty field
        "HID_ID=0003:000001A86:0000E010\n",   // nine digits
        "HID_ID=0003:00011A86:0000E010\n",    // vendor beyond 16 bits
        "HID_ID=0003:00001A86:0001E010\n",    // product beyond 16 bits
        " HID_ID=0003:00001A86:0000E010\n",
    };
    for (const char* text : bad) {
        std::uint16_t vid = 0, pid = 0;
        std::string name;
        EXPECT_FALSE(tavo::parseUevent(text, &vid, &pid, &name)) << text;
    }
}

TEST_F(FakeSysfs, DevicesComeInNumericOrderWithTheirIds) {
    addNode("hidraw10", uevent("0003:00001A86:0000E010", "ten"));
    addNode("hidraw2", kReaderUevent);
    addNode("hidraw1", uevent("0003:0000046D:0000C52B", "mouse"));
    const auto devices = tavo::enumerateHidraw(sysfs, dev);
    ASSERT_EQ(devices.size(), 3u);
    EXPECT_EQ(devices[0].path, dev + "/hidraw1");
    EXPECT_EQ(devices[1].path, dev + "/hidraw2");
    EXPECT_EQ(devices[2].path, dev + "/hidraw10");
    EXPECT_EQ(devices[1].vendor_id, 0x1A86);
    EXPECT_EQ(devices[1].product_id, 0xE010);
    EXPECT_EQ(devices[1].name, "WCH.CN USB Reader");
    EXPECT_EQ(devices[2].name, "ten");
    for (const auto& d : devices) EXPECT_EQ(d.backend, "hidraw");
}

TEST_F(FakeSysfs, UnusableEntriesAreSkippedWithTheReason) {
    addNode("hidraw0", "HID_ID=garbage\n");
    addNode("hidraw1", kReaderUevent);
    addNode("hidrawx", kReaderUevent);
    addNode("hidraw", kReaderUevent);
    addNode("usb3", kReaderUevent);
    fs::create_directories(deviceDir("hidraw2"));               // no uevent
    fs::create_directories(deviceDir("hidraw3") / "uevent");    // uevent cannot be read
    fs::create_directories(root / "sys/class/hidraw/hidraw4");  // no device folder
    EXPECT_EQ(paths(), std::vector<std::string>{dev + "/hidraw1"});

    std::vector<tavo::PassedOver> passed_over;
    tavo::enumerateHidraw(sysfs, dev, &passed_over);
    ASSERT_EQ(passed_over.size(), 4u);
    EXPECT_EQ(passed_over[0].path, dev + "/hidraw0");
    EXPECT_EQ(passed_over[0].why, "uevent has no valid HID_ID");
    EXPECT_EQ(passed_over[1].path, dev + "/hidraw2");
    EXPECT_EQ(passed_over[1].why.rfind("uevent unreadable (", 0), 0u) << passed_over[1].why;
    EXPECT_NE(passed_over[1].why.find("No such file or directory)"), std::string::npos) << passed_over[1].why;
    EXPECT_NE(passed_over[2].why.find("Is a directory)"), std::string::npos) << passed_over[2].why;
    EXPECT_EQ(passed_over[3].path, dev + "/hidraw4");
}

TEST_F(FakeSysfs, PathsBeyondThePlatformLimitAreSkipped) {
    addNode("hidraw0", kReaderUevent);
    EXPECT_TRUE(tavo::enumerateHidraw(sysfs, dev + "/" + std::string(5000, 'd')).empty());
    EXPECT_TRUE(tavo::enumerateHidraw(sysfs + "/" + std::string(5000, 's'), dev).empty());
    EXPECT_TRUE(tavo::enumerateHidraw((root / "missing").string(), dev).empty());
}

TEST_F(FakeSysfs, ReportLayoutComesFromTheDescriptorOrFallsBackWithAReason) {
    const std::string keyboard("\x75\x08\x95\x08\x81\x02\x75\x01\x95\x05\x91\x02", 12);
    addNode("hidraw0", kReaderUevent, &keyboard);
    addNode("hidraw1", kReaderUevent);
    const tavo::ReportLayout parsed = tavo::readReportLayout(sysfs, "hidraw0");
    EXPECT_EQ(parsed.input_length, 9);
    EXPECT_EQ(parsed.output_length, 2);
    EXPECT_EQ(parsed.fallback_reason, "");

    const tavo::ReportLayout missing = tavo::readReportLayout(sysfs, "hidraw1");
    EXPECT_EQ(missing.input_length, 33);
    EXPECT_EQ(missing.output_length, 33);
    EXPECT_NE(missing.fallback_reason.find("report descriptor unreadable"), std::string::npos);
    EXPECT_NE(missing.fallback_reason.find("No such file"), std::string::npos);
}

TEST_F(FakeSysfs, BackendOpensTheNodeWithItsDescriptorLayout) {
    addNode("hidraw0", kReaderUevent);                      // its node is missing
    addNode("hidraw5", kReaderUevent, &kVendorDescriptor);  // a plain file stands in for the node
    std::ofstream(root / "dev/hidraw5").put('\0');
    auto backend = tavo::makeHidrawBackend(sysfs, dev);
    const auto devices = backend->enumerate();
    ASSERT_EQ(devices.size(), 2u);

    std::string why;
    EXPECT_EQ(backend->open(devices[0], &why), nullptr);
    EXPECT_EQ(why, "No such file or directory");

    auto device = backend->open(devices[1], &why);
    ASSERT_NE(device, nullptr);
    auto* hidraw = dynamic_cast<tavo::HidrawDevice*>(device.get());
    ASSERT_NE(hidraw, nullptr);
    EXPECT_EQ(hidraw->inputReportLength(), 33);
    EXPECT_EQ(hidraw->outputReportLength(), 33);
    EXPECT_FALSE(hidraw->layout().report_ids);

    tavo::DeviceInfo stranger = devices[1];
    stranger.path = (root / "dev/notes.txt").string();
    EXPECT_EQ(backend->open(stranger, &why), nullptr);
    EXPECT_EQ(backend->open(stranger, nullptr), nullptr);
}

}  // namespace
