#include "server/port_file.h"

#include <cstdio>

namespace sim {

std::string tcpPortFileName(std::uint16_t vendor_id, std::uint16_t product_id, const std::string& name) {
    char ids[16];
    std::snprintf(ids, sizeof ids, "%04x-%04x-", vendor_id, product_id);
    return ids + name + ".tcp";
}

bool sameToken(const std::uint8_t* given, const std::string& token) {
    if (token.size() != kTokenDigits) return false;
    std::uint8_t difference = 0;
    for (std::size_t i = 0; i < kTokenDigits; ++i) difference |= static_cast<std::uint8_t>(given[i] ^ token[i]);
    return difference == 0;
}

}  // namespace sim
