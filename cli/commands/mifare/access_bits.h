// Sector-trailer access bits (bytes 6-8): conditions C1 C2 C3 of the four
// block groups, packed with their inverted copies, and what they allow.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kl::mifare {

// Three bits per group: C1 << 2 | C2 << 1 | C3; groups 0-2 are data blocks
// (in 16-block sectors blocks 0-4, 5-9, 10-14), group 3 the trailer.
using Conditions = std::array<unsigned, 4>;

std::array<std::uint8_t, 3> encodeAccess(const Conditions& conditions);

// False when the inverted copies do not match (the sector is unusable).
bool decodeAccess(const std::uint8_t* bytes, Conditions* conditions);

struct DataRights {
    const char* read;
    const char* write;
    const char* increment;
    const char* decrement;  // decrement, transfer, restore
};
struct TrailerRights {
    const char* key_a_write;
    const char* access_read;
    const char* access_write;
    const char* key_b_read;
    const char* key_b_write;
};

DataRights dataRights(unsigned condition);
TrailerRights trailerRights(unsigned condition);

// "010" for 2.
std::string conditionText(unsigned condition);

}  // namespace kl::mifare
