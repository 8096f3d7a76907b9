// Mifare Classic access conditions: decoding the access bits of a sector
// trailer and deciding which key may do what.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace sim {
namespace mifare {

enum class Key : std::uint8_t { A, B };

// Operations on data blocks; `decrement` also covers transfer and restore.
enum class DataOp { read, write, increment, decrement };
// Operations on the parts of a sector trailer.
enum class TrailerOp { writeKeyA, readAccess, writeAccess, readKeyB, writeKeyB };

// The condition C1 C2 C3 of one block group as the number C1·4 + C2·2 + C3.
using Conditions = std::array<std::uint8_t, 4>;  // groups 0, 1, 2 and the trailer (3)

// The conditions in trailer bytes 6..8, or nothing when the inverted copies
// disagree (the sector is then unusable).
std::optional<Conditions> decodeAccess(const std::uint8_t* access_bytes);
// The three access bytes for these conditions.
std::array<std::uint8_t, 3> encodeAccess(const Conditions& conditions);

bool dataAllowed(std::uint8_t condition, DataOp op, Key key);
bool trailerAllowed(std::uint8_t condition, TrailerOp op, Key key);
// Where key B can be read it is plain data and cannot authenticate.
bool keyBReadable(std::uint8_t trailer_condition);

}  // namespace mifare
}  // namespace sim
