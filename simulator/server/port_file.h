// The file in the virtual-device folder that tells TCP hosts (Windows, wine)
// where a reader listens: "<port> <token>\n", readable by the user alone.
#pragma once

#include <cstdint>
#include <string>

namespace sim {

// "<vid>-<pid>-<name>.tcp", ids as four lower-case hex digits.
std::string tcpPortFileName(std::uint16_t vendor_id, std::uint16_t product_id, const std::string& name);

// The token's length: 32 hex digits, which a host sends before its first report.
constexpr std::size_t kTokenDigits = 32;

// Compares a token without stopping at the first difference.
bool sameToken(const std::uint8_t* given, const std::string& token);

}  // namespace sim
