// The setup report a host sends once when it opens the reader, and a beep
// with its reply, as the simulator's socket tests send and expect them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "frame_codec.h"

namespace simtest {

inline const common::Bytes kSetup = [] {
    common::Bytes r(33, 0);
    const std::uint8_t head[] = {0x00, 0xFF, 0xC7, 0x83, 0xCC, 0x10};
    std::copy(std::begin(head), std::end(head), r.begin());
    return r;
}();

// rf_beep(0, 10) as it goes on the wire: one report.
inline const common::Bytes kBeep = {0x00, 0x08, 0x02, 0x00, 0x00, 0x04, 0x1D, 0x0A, 0x2B, 0x03, 0, 0, 0, 0, 0, 0, 0,
                                    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0, 0, 0};

// Its reply from reader 0: status 0, no data (checksum 0x20); the length
// byte 0x03 goes escaped.
inline const common::Bytes kBeepReply = [] {
    common::Bytes r(33, 0);
    const std::uint8_t frame[] = {0x00, 0x09, 0x02, 0x00, 0x00, 0x10, 0x03, 0x1D, 0x00, 0x20, 0x03};
    std::copy(std::begin(frame), std::end(frame), r.begin());
    return r;
}();

}  // namespace simtest
