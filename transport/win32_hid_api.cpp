// The real HidApi: SetupDi enumeration, HidD/HidP queries and overlapped
// file I/O with event waits.
#include <windows.h>
#include <setupapi.h>
// The HID headers declare C functions without saying so.
extern "C" {
#include <hidsdi.h>
#include <hidpi.h>
}

#include <vector>

#include "win32_hid.h"

namespace tavo {
namespace {

// A device path longer than this is passed over rather than cut short.
constexpr DWORD kDetailBuffer = 4 + 1024 * sizeof(char) + 8;
// Ends a walk whose steps keep failing without reaching the end of the list.
constexpr DWORD kMostInterfaces = 4096;

IoStatus statusFromError(DWORD error) {
    switch (error) {
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_GEN_FAILURE:
        case ERROR_BAD_COMMAND:
        case ERROR_FILE_NOT_FOUND:
        case ERROR_INVALID_HANDLE:
        case ERROR_OPERATION_ABORTED:
            return IoStatus::gone;
        default:
            return IoStatus::error;
    }
}

// One overlapped operation on its own manual-reset event: waits up to
// timeout_ms, and cancels and drains the operation when it does not end.
class Overlapped {
public:
    Overlapped() { overlapped_.hEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr); }
    ~Overlapped() {
        if (overlapped_.hEvent != nullptr) ::CloseHandle(overlapped_.hEvent);
    }
    Overlapped(const Overlapped&) = delete;
    Overlapped& operator=(const Overlapped&) = delete;

    bool ready() const { return overlapped_.hEvent != nullptr; }
    OVERLAPPED* get() { return &overlapped_; }

    // `started` is what WriteFile/ReadFile returned.
    IoStatus finish(HANDLE file, BOOL started, int timeout_ms, DWORD* transferred) {
        *transferred = 0;
        if (!started) {
            const DWORD error = ::GetLastError();
            if (error != ERROR_IO_PENDING) return statusFromError(error);
            const DWORD waited = ::WaitForSingleObject(overlapped_.hEvent, static_cast<DWORD>(timeout_ms));
            if (waited != WAIT_OBJECT_0) {
                // The operation still refers to our buffer and record: cancel
                // it and wait for it to end before they go away.
                ::CancelIoEx(file, &overlapped_);
                ::GetOverlappedResult(file, &overlapped_, transferred, TRUE);
                *transferred = 0;
                return IoStatus::timeout;
            }
        }
        if (!::GetOverlappedResult(file, &overlapped_, transferred, FALSE)) {
            return statusFromError(::GetLastError());
        }
        return IoStatus::ok;
    }

private:
    OVERLAPPED overlapped_{};
};

class SystemHidApi final : public HidApi {
public:
    std::vector<std::string> interfacePaths() override {
        std::vector<std::string> paths;
        GUID hid_guid;
        ::HidD_GetHidGuid(&hid_guid);
        HDEVINFO set = ::SetupDiGetClassDevsA(&hid_guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
        if (set == INVALID_HANDLE_VALUE) return paths;
        std::vector<unsigned char> buffer(kDetailBuffer);
        for (DWORD index = 0; index < kMostInterfaces; ++index) {
            SP_DEVICE_INTERFACE_DATA data{};
            data.cbSize = sizeof data;
            if (!::SetupDiEnumDeviceInterfaces(set, nullptr, &hid_guid, index, &data)) {
                // The end of the list, or an entry that cannot be read: a
                // failing index is not retried, so the walk always ends.
                if (::GetLastError() == ERROR_NO_MORE_ITEMS) break;
                continue;
            }
            DWORD needed = 0;
            ::SetupDiGetDeviceInterfaceDetailA(set, &data, nullptr, 0, &needed, nullptr);
            if (needed == 0 || needed > buffer.size()) continue;  // no path, or one too long
            auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
            detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
            if (!::SetupDiGetDeviceInterfaceDetailA(set, &data, detail, needed, nullptr, nullptr)) continue;
            paths.emplace_back(detail->DevicePath);
        }
        ::SetupDiDestroyDeviceInfoList(set);
        return paths;
    }

    Handle open(const std::string& path) override {
        HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        return file == INVALID_HANDLE_VALUE ? nullptr : file;
    }

    void close(Handle device) override {
        if (device != nullptr) ::CloseHandle(device);
    }

    bool attributes(Handle device, std::uint16_t* vendor_id, std::uint16_t* product_id) override {
        HIDD_ATTRIBUTES attributes{};
        attributes.Size = sizeof attributes;
        if (!::HidD_GetAttributes(device, &attributes)) return false;
        *vendor_id = attributes.VendorID;
        *product_id = attributes.ProductID;
        return true;
    }

    bool capabilities(Handle device, int* input_length, int* output_length) override {
        PHIDP_PREPARSED_DATA preparsed = nullptr;
        if (!::HidD_GetPreparsedData(device, &preparsed)) return false;
        HIDP_CAPS caps{};
        const bool ok = ::HidP_GetCaps(preparsed, &caps) == HIDP_STATUS_SUCCESS;
        ::HidD_FreePreparsedData(preparsed);
        if (!ok) return false;
        *input_length = caps.InputReportByteLength;
        *output_length = caps.OutputReportByteLength;
        return true;
    }

    bool setOutputReport(Handle device, std::uint8_t* report, std::size_t length) override {
        return ::HidD_SetOutputReport(device, report, static_cast<ULONG>(length)) != FALSE;
    }

    IoStatus write(Handle device, const std::uint8_t* report, std::size_t length, int timeout_ms) override {
        Overlapped op;
        if (!op.ready()) return IoStatus::error;
        const BOOL started = ::WriteFile(device, report, static_cast<DWORD>(length), nullptr, op.get());
        DWORD written = 0;
        const IoStatus status = op.finish(device, started, timeout_ms, &written);
        if (status != IoStatus::ok) return status;
        return written == length ? IoStatus::ok : IoStatus::error;
    }

    IoStatus read(Handle device, std::uint8_t* buffer, std::size_t capacity, std::size_t* length,
                  int timeout_ms) override {
        *length = 0;
        Overlapped op;
        if (!op.ready()) return IoStatus::error;
        const BOOL started = ::ReadFile(device, buffer, static_cast<DWORD>(capacity), nullptr, op.get());
        DWORD got = 0;
        const IoStatus status = op.finish(device, started, timeout_ms, &got);
        if (status != IoStatus::ok) return status;
        *length = got;
        return IoStatus::ok;
    }
};

}  // namespace

std::unique_ptr<HidApi> makeSystemHidApi() { return std::make_unique<SystemHidApi>(); }

}  // namespace tavo
