// Cutting a byte stream into reader frames: STX opens one, DLE makes the next
// byte data, ETX closes it; bytes outside a frame are dropped and an
// unescaped STX starts over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "bytes.h"

namespace kl {

struct Frame {
    Bytes wire;  // STX to ETX as it went on the wire
    Bytes body;  // what lies between, escapes removed
};

class FrameSplitter {
public:
    // Takes the next bytes and returns the frames they complete.
    std::vector<Frame> feed(const std::uint8_t* data, std::size_t length);

private:
    bool in_frame_ = false;
    bool escape_ = false;
    Frame current_;
};

}  // namespace kl
