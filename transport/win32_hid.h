// Windows HID devices: the HID class driver's interfaces found through
// SetupDi, ids from HidD_GetAttributes, report lengths from HidP_GetCaps,
// overlapped reads and writes that end in time-outs.
//
// The system calls sit behind HidApi, so the backend's own decisions (which
// interface is a match, report sizes, what a failure means) can be tested
// with a scripted device; makeSystemHidApi() is the real one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "device.h"

namespace tavo {

class HidApi {
public:
    using Handle = void*;  // an open device; null is "not open"

    virtual ~HidApi() = default;

    // The device paths of the present HID interfaces, in the system's order.
    virtual std::vector<std::string> interfacePaths() = 0;
    // Opens for overlapped reading and writing, shared; null on failure.
    virtual Handle open(const std::string& path) = 0;
    virtual void close(Handle device) = 0;
    virtual bool attributes(Handle device, std::uint16_t* vendor_id, std::uint16_t* product_id) = 0;
    // Input and output report lengths in bytes, report id included.
    virtual bool capabilities(Handle device, int* input_length, int* output_length) = 0;
    virtual bool setOutputReport(Handle device, std::uint8_t* report, std::size_t length) = 0;
    // One overlapped write of `length` bytes that gives up after timeout_ms
    // (the pending write is cancelled).
    virtual IoStatus write(Handle device, const std::uint8_t* report, std::size_t length, int timeout_ms) = 0;
    // One overlapped read of up to `capacity` bytes, likewise.
    virtual IoStatus read(Handle device, std::uint8_t* buffer, std::size_t capacity, std::size_t* length,
                          int timeout_ms) = 0;
};

std::unique_ptr<HidApi> makeSystemHidApi();

// The backend over `api`. The api outlives every device it opens.
std::unique_ptr<Backend> makeWin32HidBackend(std::shared_ptr<HidApi> api);

}  // namespace tavo
