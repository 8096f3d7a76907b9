#include "value_block.h"

namespace common::mifare {

Bytes valueBlock(std::int32_t value, std::uint8_t address) {
    const auto v = static_cast<std::uint32_t>(value);
    Bytes block(16);
    for (int i = 0; i < 4; ++i) {
        const auto byte = static_cast<std::uint8_t>(v >> (8 * i));
        block[i] = byte;
        block[4 + i] = static_cast<std::uint8_t>(~byte);
        block[8 + i] = byte;
    }
    block[12] = block[14] = address;
    block[13] = block[15] = static_cast<std::uint8_t>(~address);
    return block;
}

bool parseValueBlock(const std::uint8_t* block, std::int32_t* value, std::uint8_t* address) {
    for (int i = 0; i < 4; ++i) {
        if (block[i] != block[8 + i] || static_cast<std::uint8_t>(~block[i]) != block[4 + i]) return false;
    }
    if (block[12] != block[14] || block[13] != block[15] || static_cast<std::uint8_t>(~block[12]) != block[13]) {
        return false;
    }
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | block[i];
    *value = static_cast<std::int32_t>(v);
    *address = block[12];
    return true;
}

}  // namespace common::mifare
