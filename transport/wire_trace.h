// The wire trace: every report the transport writes and reads, as annotated
// hex, to where the environment variable TAVOHID_TRACE points when the
// reader is opened (a file, appended to; "-" or "stderr" for standard
// error). Unset or empty: no trace, and nothing in the exchange changes.
//
// One line per report, the direction first ('>' to the reader, '<' from it),
// the report bytes as read or written (report id first), then "  # " and a
// note; lines that carry no report start with '#':
//   # open 1a86:e010 /run/user/1000/tavohid/1a86-e010-reader0.sock (virtual), reports in 33, out 33 bytes
//   > 00 FF C7 83 CC 10 00 ... 00  # setup report
//   > 00 08 02 00 00 04 1D 0A 2B 03 00 ... 00  # exchange 1 request report 1/1
//   < 00 08 02 00 00 03 1D 00 20 03 00 ... 00  # exchange 1 reply report 1
//   # exchange 2 reply report 1: time-out after 4000 ms
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "device.h"

namespace tavo {

// Where trace lines go. A line that cannot be written is dropped: the trace
// never fails, blocks or alters an exchange.
class TraceSink {
public:
    virtual ~TraceSink() = default;
    virtual void write(const char* text, std::size_t length) noexcept = 0;
};

// The sink TAVOHID_TRACE names, read now; null when the variable is unset or
// empty or the file cannot be opened. Defined once per platform
// (trace_sink_posix.cpp).
std::unique_ptr<TraceSink> traceSinkFromEnvironment();

// Passes every call on to the device it wraps and writes the reports that go
// through to the sink. Only an open reader that is traced is wrapped, so an
// untraced exchange runs exactly as before.
class TracingDevice final : public Device {
public:
    TracingDevice(std::unique_ptr<Device> device, std::unique_ptr<TraceSink> sink, const DeviceInfo& info);
    ~TracingDevice() override;
    TracingDevice(const TracingDevice&) = delete;
    TracingDevice& operator=(const TracingDevice&) = delete;

    // The next exchange begins: its request of `request_length` bytes goes
    // out in reports of up to 31 bytes. Reads before its first report are
    // input left over from an earlier exchange, which the exchange drops.
    void beginExchange(std::size_t request_length);

    IoStatus write(const std::uint8_t* report, std::size_t length, int timeout_ms) override;
    IoStatus read(std::uint8_t* buffer, std::size_t capacity, std::size_t* length, int timeout_ms) override;
    void sendSetup(const std::uint8_t* report, std::size_t length) override;
    int inputReportLength() const override { return device_->inputReportLength(); }
    int outputReportLength() const override { return device_->outputReportLength(); }

private:
    void report(char direction, const std::uint8_t* bytes, std::size_t length, const char* note);
    void failure(const char* what, IoStatus status, int timeout_ms);
    void text(const char* line, std::size_t length);

    std::unique_ptr<Device> device_;
    std::unique_ptr<TraceSink> sink_;
    unsigned long exchange_ = 0;
    std::size_t request_reports_ = 0;
    std::size_t written_ = 0;
    std::size_t read_ = 0;
};

}  // namespace tavo
