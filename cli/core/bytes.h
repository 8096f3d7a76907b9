// Byte strings and their text forms: hex, numbers, ranges.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kl {

using Bytes = std::vector<std::uint8_t>;

// Upper-case hex; `separator` goes between bytes.
std::string toHex(const std::uint8_t* data, std::size_t length, const char* separator = "");
inline std::string toHex(const Bytes& bytes, const char* separator = "") {
    return toHex(bytes.data(), bytes.size(), separator);
}

// Hex digits with optional spaces, ':' or '-' between byte pairs and an
// optional 0x prefix. Empty on success, else why the text was refused.
std::string parseHex(const std::string& text, Bytes* out);

// A decimal or 0x-hex integer within [min, max]. Empty on success, else why.
std::string parseNumber(const std::string& text, long long min, long long max, long long* out);

}  // namespace kl
