// The Ultralight C's three-pass mutual authentication with two-key triple
// DES in CBC mode: the tag sends ek(RndB); the reader answers
// ek(RndA || RndB rotated left by one byte); the tag proves itself with
// ek(RndA rotated). Each message chains on the last block before it.
#pragma once

#include <array>
#include <cstdint>

#include "des.h"
#include "cards/toolkit.h"

namespace sim {

class UltralightCard;

namespace ulc {

using Block = std::array<std::uint8_t, 8>;

// CBC over whole 8-byte blocks; `iv` becomes the last ciphertext block.
Bytes encryptCbc(const kv::des::Key& key, Block& iv, const Bytes& plain);
Bytes decryptCbc(const kv::des::Key& key, Block& iv, const Bytes& cipher);
// The bytes rotated left by one.
Bytes rotated(const Bytes& bytes);
// 8 random bytes.
Bytes randomBlock();

// The reader's side, run against the tag with the host's 16-byte key
// (K1 = bytes 0-7, K2 = bytes 8-15). kOk when both sides proved the key.
std::uint8_t readerAuthenticate(UltralightCard& tag, const std::uint8_t* key16);

}  // namespace ulc
}  // namespace sim
