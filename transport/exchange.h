// One request frame out, one reply frame back, in 33-byte reports.
#pragma once

#include <cstddef>
#include <cstdint>

#include "device.h"

namespace tavo {

constexpr std::size_t kFrameBuffer = 1024;
constexpr int kWriteTimeoutMs = 3000;
constexpr int kReadTimeoutMs = 4000;

// After an exchange that timed out or stopped mid-frame, its reply may still
// be on the way; the next exchanges wait this long for such a straggler
// before they send (see Port). Exchanges in a settled stream do not wait.
constexpr int kSettleMs = 250;

struct Timeouts {
    int write_ms = kWriteTimeoutMs;
    int read_ms = kReadTimeoutMs;
    int settle_ms = kSettleMs;
};

struct ExchangeResult {
    int result = 1;            // 0: a non-empty reply arrived; 1: failure
    bool device_gone = false;  // the device went away during the exchange
    bool unsettled = false;    // a time-out or failure: a late reply may follow
};

// True when `bytes` hold STX ... ETX, with DLE making the next byte data.
bool frameComplete(const std::uint8_t* bytes, std::size_t length);

// Runs one exchange on an open device. `reply` holds kFrameBuffer bytes;
// `*reply_length` is written whenever the send succeeded. Input that is
// already waiting (a reply that came too late for an earlier exchange) is
// dropped before every request, so a stream that fell out of step is back in
// step after at most one exchange. After an unsettled exchange the caller
// passes `after_unsettled`, and a straggler gets timeouts.settle_ms to arrive
// and be dropped first.
ExchangeResult exchange(Device& device, const std::uint8_t* request, std::size_t request_length,
                        std::uint8_t* reply, int* reply_length, const Timeouts& timeouts = {},
                        bool after_unsettled = false);

}  // namespace tavo
