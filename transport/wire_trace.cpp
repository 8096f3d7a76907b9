#include "wire_trace.h"

#include <algorithm>
#include <cstdio>

#include "device.h"

namespace tavo {
namespace {

// The longest line: a 64-byte report in hex and its note.
constexpr std::size_t kLineBuffer = 512;
constexpr char kHexDigits[] = "0123456789ABCDEF";

const char* describe(IoStatus status) {
    switch (status) {
    case IoStatus::ok: return "ok";
    case IoStatus::timeout: return "time-out";
    case IoStatus::gone: return "device gone";
    case IoStatus::error: return "failed";
    }
    return "failed";
}

// The length snprintf() reports, cut to what the buffer holds.
std::size_t printed(int n, std::size_t capacity) {
    return n < 0 ? 0 : std::min(static_cast<std::size_t>(n), capacity - 1);
}

}  // namespace

TracingDevice::TracingDevice(std::unique_ptr<Device> device, std::unique_ptr<TraceSink> sink, const DeviceInfo& info)
    : device_(std::move(device)), sink_(std::move(sink)) {
    char line[kLineBuffer];
    const int n = std::snprintf(line, sizeof line, "# open %04x:%04x %s (%s), reports in %d, out %d bytes\n",
                                info.vendor_id, info.product_id, info.path.c_str(),
                                info.backend.empty() ? "?" : info.backend.c_str(), device_->inputReportLength(),
                                device_->outputReportLength());
    text(line, printed(n, sizeof line));
}

TracingDevice::~TracingDevice() {
    static const char kClosed[] = "# closed\n";
    text(kClosed, sizeof kClosed - 1);
}

void TracingDevice::beginExchange(std::size_t request_length) {
    ++exchange_;
    request_reports_ = (request_length + kReportData - 1) / kReportData;
    written_ = 0;
    read_ = 0;
}

IoStatus TracingDevice::write(const std::uint8_t* report_bytes, std::size_t length, int timeout_ms) {
    ++written_;
    char note[96];
    std::snprintf(note, sizeof note, "exchange %lu request report %zu/%zu", exchange_, written_, request_reports_);
    report('>', report_bytes, length, note);
    const IoStatus status = device_->write(report_bytes, length, timeout_ms);
    if (status != IoStatus::ok) failure(note, status, timeout_ms);
    return status;
}

IoStatus TracingDevice::read(std::uint8_t* buffer, std::size_t capacity, std::size_t* length, int timeout_ms) {
    const IoStatus status = device_->read(buffer, capacity, length, timeout_ms);
    const bool stale = written_ == 0;
    char note[96];
    if (stale) {
        // Polling for left-over input finds nothing in the usual case: that
        // is not worth a line.
        if (status != IoStatus::ok) return status;
        std::snprintf(note, sizeof note, "exchange %lu stale report dropped", exchange_);
    } else {
        ++read_;
        std::snprintf(note, sizeof note, "exchange %lu reply report %zu", exchange_, read_);
    }
    if (status == IoStatus::ok) {
        report('<', buffer, *length, note);
    } else {
        failure(note, status, timeout_ms);
    }
    return status;
}

void TracingDevice::sendSetup(const std::uint8_t* report_bytes, std::size_t length) {
    report('>', report_bytes, length, "setup report");
    device_->sendSetup(report_bytes, length);
}

void TracingDevice::report(char direction, const std::uint8_t* bytes, std::size_t length, const char* note) {
    char line[kLineBuffer];
    std::size_t n = 0;
    line[n++] = direction;
    length = std::min(length, kReportBuffer);
    for (std::size_t i = 0; i < length; ++i) {
        line[n++] = ' ';
        line[n++] = kHexDigits[bytes[i] >> 4];
        line[n++] = kHexDigits[bytes[i] & 0x0F];
    }
    const int tail = std::snprintf(line + n, sizeof line - n, "  # %s\n", note);
    text(line, n + printed(tail, sizeof line - n));
}

void TracingDevice::failure(const char* what, IoStatus status, int timeout_ms) {
    char line[kLineBuffer];
    const int n = status == IoStatus::timeout
                      ? std::snprintf(line, sizeof line, "# %s: time-out after %d ms\n", what, timeout_ms)
                      : std::snprintf(line, sizeof line, "# %s: %s\n", what, describe(status));
    text(line, printed(n, sizeof line));
}

void TracingDevice::text(const char* line, std::size_t length) { sink_->write(line, length); }

}  // namespace tavo
