#include "access_bits.h"

namespace kl::mifare {

std::array<std::uint8_t, 3> encodeAccess(const Conditions& c) {
    unsigned c1 = 0, c2 = 0, c3 = 0;
    for (unsigned g = 0; g < 4; ++g) {
        c1 |= ((c[g] >> 2) & 1) << g;
        c2 |= ((c[g] >> 1) & 1) << g;
        c3 |= (c[g] & 1) << g;
    }
    return {static_cast<std::uint8_t>((~c2 & 0xF) << 4 | (~c1 & 0xF)),
            static_cast<std::uint8_t>(c1 << 4 | (~c3 & 0xF)),
            static_cast<std::uint8_t>(c3 << 4 | c2)};
}

bool decodeAccess(const std::uint8_t* b, Conditions* conditions) {
    const unsigned c1 = b[1] >> 4, c2 = b[2] & 0xF, c3 = b[2] >> 4;
    const bool valid = (~b[0] & 0xF) == c1 && ((~b[0] >> 4) & 0xF) == c2 && (~b[1] & 0xF) == c3;
    for (unsigned g = 0; g < 4; ++g) {
        (*conditions)[g] = ((c1 >> g) & 1) << 2 | ((c2 >> g) & 1) << 1 | ((c3 >> g) & 1);
    }
    return valid;
}

DataRights dataRights(unsigned condition) {
    static const DataRights table[8] = {
        {"A|B", "A|B", "A|B", "A|B"},  // 000
        {"A|B", "-", "-", "A|B"},      // 001
        {"A|B", "-", "-", "-"},        // 010
        {"B", "B", "-", "-"},          // 011
        {"A|B", "B", "-", "-"},        // 100
        {"B", "-", "-", "-"},          // 101
        {"A|B", "B", "B", "A|B"},      // 110
        {"-", "-", "-", "-"},          // 111
    };
    return table[condition & 7];
}

TrailerRights trailerRights(unsigned condition) {
    static const TrailerRights table[8] = {
        {"A", "A", "-", "A", "A"},    // 000
        {"A", "A", "A", "A", "A"},    // 001
        {"-", "A", "-", "A", "-"},    // 010
        {"B", "A|B", "B", "-", "B"},  // 011
        {"B", "A|B", "-", "-", "B"},  // 100
        {"-", "A|B", "B", "-", "-"},  // 101
        {"-", "A|B", "-", "-", "-"},  // 110
        {"-", "A|B", "-", "-", "-"},  // 111
    };
    return table[condition & 7];
}

std::string conditionText(unsigned condition) {
    return {static_cast<char>('0' + ((condition >> 2) & 1)), static_cast<char>('0' + ((condition >> 1) & 1)),
            static_cast<char>('0' + (condition & 1))};
}

}  // namespace kl::mifare
