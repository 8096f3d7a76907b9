// Pieces the Mifare command handlers share.
#pragma once

#include <optional>

#include "cards/mifare_classic.h"
#include "firmware/typea_reader.h"

namespace sim {

// 0x60 key A, 0x61 key B.
inline std::optional<mifare::Key> keyTypeOf(std::uint8_t code) {
    if (code == mifare::kKeyA) return mifare::Key::A;
    if (code == mifare::kKeyB) return mifare::Key::B;
    return std::nullopt;
}

inline std::int32_t le32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                                     static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
}

inline Bytes le32Bytes(std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
            static_cast<std::uint8_t>(v >> 24)};
}

// A value answer, 4 bytes least significant first; by reference for the
// same reason as answer().
inline Reply answerValue(std::uint8_t status, const std::int32_t& value) {
    return answer(status, le32Bytes(value));
}

// The reader's increment and decrement: the operation, then the transfer of
// the result into the same block (the transfer buffer keeps it, so a later
// transfer can copy it elsewhere in the sector).
inline std::uint8_t changeValue(MifareClassic& card, int block, std::int32_t by, bool increment) {
    const std::uint8_t status = increment ? card.increment(block, by) : card.decrement(block, by);
    return status != kOk ? status : card.transfer(block);
}

// Restore from one block and transfer into another.
inline std::uint8_t copyValue(MifareClassic& card, int source, int target) {
    const std::uint8_t status = card.restore(source);
    return status != kOk ? status : card.transfer(target);
}

}  // namespace sim
