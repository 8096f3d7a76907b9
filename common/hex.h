// Hex text of byte strings, one rule for every program:
//  - digits 0-9, a-f, A-F, two per byte; an odd number of digits is refused;
//  - spaces, tabs, ':' and '-' may stand between bytes (never inside one):
//    "0A1B", "0a 1b", "0A:1B" and "0A-1B" are the same two bytes, "0 A1B" is refused;
//  - one "0x" or "0X" may open the text ("0x0A1B"); "0x0A 0x1B" is refused;
//  - empty text (or separators only) is no bytes, which is not an error here:
//    callers that need bytes check the length they get.
// Formatting writes upper-case digits, with an optional separator between bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "bytes.h"

namespace common {

// False, with the reason in *why when given, for text that breaks the rule;
// *out is left unchanged then.
bool parseHex(std::string_view text, Bytes* out, std::string* why = nullptr);

std::string toHex(const std::uint8_t* data, std::size_t length, std::string_view separator = "");
inline std::string toHex(const Bytes& bytes, std::string_view separator = "") {
    return toHex(bytes.data(), bytes.size(), separator);
}

// The value of one hex digit, or -1.
int hexDigit(char c);

}  // namespace common
