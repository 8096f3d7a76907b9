// The one small I/O interface behind which each platform backend sits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tavo {

// Every report the exchange logic sees or writes has this layout:
// byte 0 report id (0), byte 1 count, bytes 2..32 data.
constexpr std::size_t kReportSize = 33;
constexpr std::size_t kReportData = 31;
constexpr std::size_t kReportBuffer = 64;

enum class IoStatus {
    ok,       // the report was written or read
    timeout,  // nothing happened within the budget
    gone,     // the device went away (unplug, socket closed)
    error,    // any other failure
};

class Device {
public:
    virtual ~Device() = default;

    // Writes one output report of `length` bytes (byte 0 is the report id).
    virtual IoStatus write(const std::uint8_t* report, std::size_t length, int timeout_ms) = 0;

    // Reads one input report into `buffer` (capacity `capacity`), always in
    // the layout with the report-id byte first; `*length` gets its size.
    virtual IoStatus read(std::uint8_t* buffer, std::size_t capacity, std::size_t* length, int timeout_ms) = 0;

    // Sends the one-time setup report; the result is of no interest.
    virtual void sendSetup(const std::uint8_t* report, std::size_t length) = 0;

    // Report lengths in bytes, report id included.
    virtual int inputReportLength() const = 0;
    virtual int outputReportLength() const = 0;
};

struct DeviceInfo {
    std::string path;      // what open() takes: /dev/hidrawN or a socket path
    std::uint16_t vendor_id = 0;
    std::uint16_t product_id = 0;
    std::string backend;   // "hidraw" or "virtual"
    std::string name;      // a human-readable name
};

// An entry that enumeration came across but could not offer, and why.
struct PassedOver {
    std::string path;
    std::string why;
};

class Backend {
public:
    virtual ~Backend() = default;
    virtual std::vector<DeviceInfo> enumerate() = 0;
    // Opens a device; null when it cannot be opened. `why` gets the reason.
    virtual std::unique_ptr<Device> open(const DeviceInfo& info, std::string* why) = 0;
};

}  // namespace tavo
