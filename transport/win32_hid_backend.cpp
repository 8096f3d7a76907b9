// The Windows HID backend's decisions, over HidApi.
#include <algorithm>
#include <cstring>
#include <utility>

#include "win32_hid.h"

namespace tavo {
namespace {

class Win32HidDevice final : public Device {
public:
    Win32HidDevice(std::shared_ptr<HidApi> api, HidApi::Handle handle, int input_length, int output_length)
        : api_(std::move(api)), handle_(handle), input_length_(input_length), output_length_(output_length) {}
    ~Win32HidDevice() override { api_->close(handle_); }
    Win32HidDevice(const Win32HidDevice&) = delete;
    Win32HidDevice& operator=(const Win32HidDevice&) = delete;

    // The class driver takes exactly the output report length: the report
    // is padded with zeros (or cut) to it.
    IoStatus write(const std::uint8_t* report, std::size_t length, int timeout_ms) override {
        std::vector<std::uint8_t> out(static_cast<std::size_t>(output_length_), 0);
        std::memcpy(out.data(), report, std::min(length, out.size()));
        return api_->write(handle_, out.data(), out.size(), timeout_ms);
    }

    // Reads come with the report id first, the layout the exchange expects.
    IoStatus read(std::uint8_t* buffer, std::size_t capacity, std::size_t* length, int timeout_ms) override {
        *length = 0;
        std::vector<std::uint8_t> in(static_cast<std::size_t>(input_length_), 0);
        std::size_t got = 0;
        const IoStatus status = api_->read(handle_, in.data(), in.size(), &got, timeout_ms);
        if (status != IoStatus::ok) return status;
        *length = std::min({got, in.size(), capacity});
        std::memcpy(buffer, in.data(), *length);
        return IoStatus::ok;
    }

    void sendSetup(const std::uint8_t* report, std::size_t length) override {
        std::vector<std::uint8_t> out(static_cast<std::size_t>(output_length_), 0);
        std::memcpy(out.data(), report, std::min(length, out.size()));
        (void)api_->setOutputReport(handle_, out.data(), out.size());
    }

    int inputReportLength() const override { return input_length_; }
    int outputReportLength() const override { return output_length_; }

private:
    std::shared_ptr<HidApi> api_;
    HidApi::Handle handle_;
    int input_length_;
    int output_length_;
};

// The longest report this backend takes; the driver's lengths are trusted
// up to this (the device pads or cuts to them, the exchange never sees more
// than its own buffer holds).
constexpr int kLongestReport = 1024;

class Win32HidBackend final : public Backend {
public:
    explicit Win32HidBackend(std::shared_ptr<HidApi> api) : api_(std::move(api)) {}

    // Every interface that opens and tells its ids; one that does not is
    // skipped, as the search goes on with the next.
    std::vector<DeviceInfo> enumerate() override {
        std::vector<DeviceInfo> found;
        for (const std::string& path : api_->interfacePaths()) {
            HidApi::Handle handle = api_->open(path);
            if (handle == nullptr) continue;
            DeviceInfo info;
            if (api_->attributes(handle, &info.vendor_id, &info.product_id)) {
                info.path = path;
                info.backend = "hid";
                info.name = path;
                found.push_back(std::move(info));
            }
            api_->close(handle);
        }
        return found;
    }

    std::unique_ptr<Device> open(const DeviceInfo& info, std::string* why) override {
        HidApi::Handle handle = api_->open(info.path);
        if (handle == nullptr) {
            *why = "cannot be opened";
            return nullptr;
        }
        int input_length = 0;
        int output_length = 0;
        if (!api_->capabilities(handle, &input_length, &output_length)) {
            api_->close(handle);
            *why = "its report lengths cannot be read";
            return nullptr;
        }
        // A report must hold the id, the count and at least one data byte.
        if (input_length < 3 || output_length < 3 || input_length > kLongestReport ||
            output_length > kLongestReport) {
            api_->close(handle);
            *why = "its report lengths (" + std::to_string(input_length) + " in, " +
                   std::to_string(output_length) + " out) are not a reader's";
            return nullptr;
        }
        return std::make_unique<Win32HidDevice>(api_, handle, input_length, output_length);
    }

private:
    std::shared_ptr<HidApi> api_;
};

}  // namespace

std::unique_ptr<Backend> makeWin32HidBackend(std::shared_ptr<HidApi> api) {
    return std::make_unique<Win32HidBackend>(std::move(api));
}

}  // namespace tavo
