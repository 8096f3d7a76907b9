#include "exchange.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace tavo {
namespace {

constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kEtx = 0x03;
constexpr std::uint8_t kDle = 0x10;

// Input reports left over from an earlier exchange would be taken as this
// exchange's reply; they are discarded before sending. `settle_ms` > 0 waits
// that long in all for a straggler still on its way; 0 takes only what is
// already there and costs one read.
void discardStaleInput(Device& device, int settle_ms) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(settle_ms, 0));
    std::uint8_t report[kReportBuffer];
    std::size_t length = 0;
    for (int i = 0; i < 256; ++i) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        const int wait = left > 0 ? static_cast<int>(left) : 0;
        if (device.read(report, sizeof report, &length, wait) != IoStatus::ok) return;
    }
}

struct Io {
    Device& device;
    const Timeouts& timeouts;
    bool gone = false;
    bool timed_out = false;

    int reportLength(int reported) const {
        return std::clamp(reported, 2, static_cast<int>(kReportBuffer));
    }

    bool writeChunk(const std::uint8_t* data, std::size_t count) {
        std::uint8_t report[kReportBuffer] = {};
        report[1] = static_cast<std::uint8_t>(count);
        std::memcpy(report + 2, data, count);
        const IoStatus status = device.write(report, reportLength(device.outputReportLength()), timeouts.write_ms);
        if (status == IoStatus::gone) gone = true;
        return status == IoStatus::ok;
    }

    // Reads one piece into `destination` and returns its length; 0 after a
    // time-out or failure. The count byte is never trusted beyond the data
    // the report actually carried.
    std::size_t readPiece(std::uint8_t* destination) {
        std::uint8_t report[kReportBuffer] = {};
        std::size_t length = 0;
        const std::size_t wanted = reportLength(device.inputReportLength());
        const IoStatus status = device.read(report, wanted, &length, timeouts.read_ms);
        if (status == IoStatus::gone) gone = true;
        if (status == IoStatus::timeout) timed_out = true;
        if (status != IoStatus::ok || length < 2) return 0;
        const std::size_t count = std::min<std::size_t>({report[1], length - 2, kReportData});
        std::memcpy(destination, report + 2, count);
        return count;
    }
};

}  // namespace

bool frameComplete(const std::uint8_t* bytes, std::size_t length) {
    bool in_frame = false;
    bool escape = false;
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint8_t b = bytes[i];
        if (escape) {
            escape = false;
        } else if (b == kStx) {
            in_frame = true;
        } else if (b == kDle) {
            escape = true;
        } else if (b == kEtx && in_frame) {
            return true;
        }
    }
    return false;
}

ExchangeResult exchange(Device& device, const std::uint8_t* request, std::size_t request_length,
                        std::uint8_t* reply, int* reply_length, const Timeouts& timeouts, bool after_unsettled) {
    ExchangeResult outcome;
    if (request == nullptr || reply == nullptr || reply_length == nullptr) return outcome;
    if (request_length == 0 || request_length > kFrameBuffer) return outcome;

    Io io{device, timeouts};
    discardStaleInput(device, after_unsettled ? timeouts.settle_ms : 0);

    // Every full chunk is written even when one fails; the last one decides.
    bool sent = false;
    for (std::size_t offset = 0; offset < request_length; offset += kReportData) {
        sent = io.writeChunk(request + offset, std::min(kReportData, request_length - offset));
    }
    if (!sent) {
        outcome.device_gone = io.gone;
        outcome.unsettled = true;
        return outcome;
    }

    std::size_t total = io.readPiece(reply);
    if (total == kReportData) {
        std::uint8_t assembled[kFrameBuffer];
        std::memcpy(assembled, reply, kReportData);
        // Pieces are gathered until one is short or a whole frame is in; the
        // assembly buffer bounds a reply that never completes.
        while (!frameComplete(assembled, total) && total + kReportData <= kFrameBuffer && !io.gone) {
            const std::size_t piece = io.readPiece(reply);
            std::memcpy(assembled + total, reply, piece);
            total += piece;
            if (piece != kReportData) break;
        }
        std::memcpy(reply, assembled, total);
    }
    *reply_length = static_cast<int>(total);
    outcome.result = total > 0 ? 0 : 1;
    outcome.device_gone = io.gone;
    outcome.unsettled = io.timed_out || !frameComplete(reply, total);
    return outcome;
}

}  // namespace tavo
