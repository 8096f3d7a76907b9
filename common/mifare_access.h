// Mifare Classic access conditions. Trailer bytes 6-8 hold, for the four
// block groups (see Layout::accessGroup), the bits C1 C2 C3 and their
// inverted copies:
//   byte 6: ~C2 (groups 3..0) in the high nibble, ~C1 in the low nibble
//   byte 7:  C1 in the high nibble, ~C3 in the low nibble
//   byte 8:  C3 in the high nibble,  C2 in the low nibble
// A card treats a sector whose copies disagree as unusable. The tables of
// who may do what under each condition are the card's datasheet tables.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace common::mifare {

enum class Key : std::uint8_t { A, B };

// Operations on data blocks; `decrement` also covers transfer and restore.
enum class DataOp { read, write, increment, decrement };
// Operations on the parts of a sector trailer.
enum class TrailerOp { writeKeyA, readAccess, writeAccess, readKeyB, writeKeyB };

// The condition C1 C2 C3 of one group as the number C1·4 + C2·2 + C3, for
// groups 0, 1, 2 and the trailer (3).
using Conditions = std::array<std::uint8_t, 4>;

// The conditions as the non-inverted bits of bytes 6-8 give them, whether or
// not the inverted copies agree.
Conditions conditionsOf(const std::uint8_t* access_bytes);
// True when every inverted copy matches.
bool accessConsistent(const std::uint8_t* access_bytes);
// The conditions, or nothing when the copies disagree (the sector is unusable).
std::optional<Conditions> decodeAccess(const std::uint8_t* access_bytes);
// The three access bytes for these conditions.
std::array<std::uint8_t, 3> encodeAccess(const Conditions& conditions);

bool dataAllowed(std::uint8_t condition, DataOp op, Key key);
bool trailerAllowed(std::uint8_t condition, TrailerOp op, Key key);
// Where key B can be read it is plain data and cannot authenticate.
bool keyBReadable(std::uint8_t trailer_condition);
// True when no key may ever write the access bits again under this trailer
// condition: the sector's conditions are then fixed for good.
bool accessPermanent(std::uint8_t trailer_condition);

// Who may, as people write it: "A|B" (either key), "A", "B" or "-" (never).
const char* whoMay(std::uint8_t condition, DataOp op);
const char* whoMay(std::uint8_t condition, TrailerOp op);
// "010" for 2.
std::string conditionText(std::uint8_t condition);

}  // namespace common::mifare
