// The setup report a host sends once when it opens the reader, as the
// simulator's socket tests send it.
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

}  // namespace simtest
