// Byte strings and their text forms: hex (the toolkit's one rule, see
// hex.h), numbers, ranges.
#pragma once

#include <string>

#include "hex.h"

namespace kl {

using common::Bytes;
using common::parseHex;
using common::toHex;

// A decimal or 0x-hex integer within [min, max]. Empty on success, else why.
std::string parseNumber(const std::string& text, long long min, long long max, long long* out);

}  // namespace kl
