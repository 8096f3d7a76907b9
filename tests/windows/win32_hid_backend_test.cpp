// The Windows HID backend over a scripted HidApi: which interfaces count as
// the reader, the report sizes the class driver gets, and what failures
// turn into; and once over the real system calls (under wine: its own mouse
// and keyboard, never a reader).
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "port.h"
#include "win32_hid.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct ScriptedInterface {
    bool opens = true;
    bool has_attributes = true;
    std::uint16_t vendor_id = 0;
    std::uint16_t product_id = 0;
    bool has_caps = true;
    int input_length = 33;
    int output_length = 33;
};

class ScriptedHidApi final : public tavo::HidApi {
public:
    std::vector<std::pair<std::string, ScriptedInterface>> interfaces;
    std::vector<Bytes> written;
    std::vector<Bytes> setup;
    std::vector<std::pair<tavo::IoStatus, Bytes>> reads;  // played in order
    int open_handles = 0;

    std::vector<std::string> interfacePaths() override {
        std::vector<std::string> paths;
        for (const auto& entry : interfaces) paths.push_back(entry.first);
        return paths;
    }
    Handle open(const std::string& path) override {
        const ScriptedInterface* found = find(path);
        if (found == nullptr || !found->opens) return nullptr;
        ++open_handles;
        return const_cast<ScriptedInterface*>(found);
    }
    void close(Handle) override { --open_handles; }
    bool attributes(Handle device, std::uint16_t* vid, std::uint16_t* pid) override {
        const auto* i = static_cast<ScriptedInterface*>(device);
        *vid = i->vendor_id;
        *pid = i->product_id;
        return i->has_attributes;
    }
    bool capabilities(Handle device, int* in, int* out) override {
        const auto* i = static_cast<ScriptedInterface*>(device);
        *in = i->input_length;
        *out = i->output_length;
        return i->has_caps;
    }
    bool setOutputReport(Handle, std::uint8_t* report, std::size_t length) override {
        setup.emplace_back(report, report + length);
        return true;
    }
    tavo::IoStatus write(Handle, const std::uint8_t* report, std::size_t length, int) override {
        written.emplace_back(report, report + length);
        return tavo::IoStatus::ok;
    }
    tavo::IoStatus read(Handle, std::uint8_t* buffer, std::size_t capacity, std::size_t* length, int) override {
        *length = 0;
        if (next_read_ >= reads.size()) return tavo::IoStatus::timeout;
        const auto& r = reads[next_read_++];
        if (r.first != tavo::IoStatus::ok) return r.first;
        *length = std::min(capacity, r.second.size());
        std::copy_n(r.second.begin(), *length, buffer);
        return tavo::IoStatus::ok;
    }

private:
    const ScriptedInterface* find(const std::string& path) const {
        for (const auto& entry : interfaces) {
            if (entry.first == path) return &entry.second;
        }
        return nullptr;
    }
    std::size_t next_read_ = 0;
};

ScriptedInterface withIds(std::uint16_t vid, std::uint16_t pid) {
    ScriptedInterface i;
    i.vendor_id = vid;
    i.product_id = pid;
    return i;
}

TEST(Win32HidBackend, EnumerationSkipsWhatCannotBeOpenedOrIdentifiedAndClosesEveryProbe) {
    auto api = std::make_shared<ScriptedHidApi>();
    ScriptedInterface locked = withIds(0x1A86, 0xE010);
    locked.opens = false;
    ScriptedInterface anonymous = withIds(0x1A86, 0xE010);
    anonymous.has_attributes = false;
    api->interfaces = {{"\\\\?\\hid#mouse", withIds(0x845E, 0x0001)},
                       {"\\\\?\\hid#locked", locked},
                       {"\\\\?\\hid#anonymous", anonymous},
                       {"\\\\?\\hid#reader", withIds(0x1A86, 0xE010)}};
    auto backend = tavo::makeWin32HidBackend(api);
    const auto found = backend->enumerate();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].vendor_id, 0x845E);
    EXPECT_EQ(found[1].path, "\\\\?\\hid#reader");
    EXPECT_EQ(found[1].vendor_id, 0x1A86);
    EXPECT_EQ(found[1].product_id, 0xE010);
    EXPECT_EQ(api->open_handles, 0);
}

TEST(Win32HidBackend, ReportsArePaddedToTheDriversOutputLengthAndReadWithTheIdFirst) {
    auto api = std::make_shared<ScriptedHidApi>();
    ScriptedInterface reader = withIds(0x1A86, 0xE010);
    reader.output_length = 65;  // a device with longer reports than the exchange's
    reader.input_length = 33;
    api->interfaces = {{"r", reader}};
    auto backend = tavo::makeWin32HidBackend(api);
    std::string why;
    auto device = backend->open(backend->enumerate().at(0), &why);
    ASSERT_NE(device, nullptr) << why;
    EXPECT_EQ(device->outputReportLength(), 65);

    const Bytes frame = {0x00, 0x08, 0x02, 0x00, 0x00, 0x04, 0x1D, 0x0A, 0x2B, 0x03};
    ASSERT_EQ(device->write(frame.data(), frame.size(), 3000), tavo::IoStatus::ok);
    ASSERT_EQ(api->written.size(), 1u);
    Bytes expected(65, 0);
    std::copy(frame.begin(), frame.end(), expected.begin());
    EXPECT_EQ(api->written[0], expected);

    device->sendSetup(frame.data(), 3);
    ASSERT_EQ(api->setup.size(), 1u);
    EXPECT_EQ(api->setup[0].size(), 65u);

    Bytes input(33, 0);
    input[1] = 2;
    input[2] = 0xAA;
    input[3] = 0xBB;
    api->reads = {{tavo::IoStatus::ok, input}, {tavo::IoStatus::gone, {}}};
    std::uint8_t buffer[tavo::kReportBuffer] = {};
    std::size_t length = 0;
    ASSERT_EQ(device->read(buffer, sizeof buffer, &length, 4000), tavo::IoStatus::ok);
    EXPECT_EQ(length, 33u);
    EXPECT_EQ(buffer[1], 2);
    EXPECT_EQ(buffer[3], 0xBB);
    // The device went away: the status says so, and nothing is claimed read.
    EXPECT_EQ(device->read(buffer, sizeof buffer, &length, 4000), tavo::IoStatus::gone);
    EXPECT_EQ(length, 0u);
    // Nothing more arrives: a time-out.
    EXPECT_EQ(device->read(buffer, sizeof buffer, &length, 10), tavo::IoStatus::timeout);
}

TEST(Win32HidBackend, DeviceWithoutUsableReportLengthsIsRefusedAndClosed) {
    auto api = std::make_shared<ScriptedHidApi>();
    ScriptedInterface no_caps = withIds(1, 2);
    no_caps.has_caps = false;
    ScriptedInterface tiny = withIds(1, 2);
    tiny.input_length = 2;
    ScriptedInterface huge = withIds(1, 2);
    huge.output_length = 4096;
    api->interfaces = {{"no caps", no_caps}, {"tiny", tiny}, {"huge", huge}};
    auto backend = tavo::makeWin32HidBackend(api);
    for (const auto& info : backend->enumerate()) {
        std::string why;
        EXPECT_EQ(backend->open(info, &why), nullptr) << info.path;
        EXPECT_FALSE(why.empty()) << info.path;
    }
    EXPECT_EQ(api->open_handles, 0);
}

// The real SetupDi walk: under wine it lists wine's own HID devices (vendor
// 845E), on a Windows machine whatever is plugged in; a reader's ids that no
// device has are not found, and the exchange then fails at once.
TEST(Win32HidSystem, EnumerationRunsAndFindsNoReaderWithUnusedIds) {
    auto api = std::shared_ptr<tavo::HidApi>(tavo::makeSystemHidApi());
    auto backend = tavo::makeWin32HidBackend(api);
    const auto found = backend->enumerate();
    for (const auto& info : found) {
        EXPECT_FALSE(info.vendor_id == 0xFFFE && info.product_id == 0xFFFD) << info.path;
    }
    std::printf("HID interfaces found: %zu, none of them a reader with ids FFFE:FFFD\n", found.size());
    tavo::Port port;  // the platform's own backends
    EXPECT_FALSE(port.open(0xFFFE, 0xFFFD));
    const std::uint8_t request[8] = {0x02, 0x00, 0x00, 0x04, 0x1D, 0x0A, 0x2B, 0x03};
    std::uint8_t reply[1024] = {};
    int reply_length = -1;
    EXPECT_EQ(port.communicate(request, sizeof request, reply, &reply_length), 1);
}

}  // namespace
