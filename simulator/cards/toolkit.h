// What the simulator takes from the shared toolkit (common/) under its own
// names: byte strings, hex text and the reader's status codes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "bytes.h"
#include "hex.h"
#include "reader_status.h"

namespace sim {

using common::Bytes;
using common::parseHex;
using common::statusText;
// The status codes as sim::kOk, sim::kNoCard ...
using namespace common::status;

// Hex as listings and traces show it: "0A 1B".
inline std::string hex(const std::uint8_t* data, std::size_t length) { return common::toHex(data, length, " "); }
inline std::string hex(const Bytes& bytes) { return common::toHex(bytes, " "); }

}  // namespace sim
