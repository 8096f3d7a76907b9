// Mifare Classic value blocks: a signed 32-bit value stored three times
// (plain, inverted, plain; least significant byte first) and an address
// byte stored four times (plain, inverted, plain, inverted) in bytes 12-15.
#pragma once

#include <cstdint>

#include "bytes.h"

namespace common::mifare {

// The 16 bytes of a value block holding `value` with address byte `address`.
Bytes valueBlock(std::int32_t value, std::uint8_t address);
// The value and address byte of a well-formed value block; false, leaving
// both untouched, for 16 bytes that are not one.
bool parseValueBlock(const std::uint8_t* block, std::int32_t* value, std::uint8_t* address);

}  // namespace common::mifare
