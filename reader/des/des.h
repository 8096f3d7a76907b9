// DES (FIPS 46-3), two-key triple DES, the retail MAC and key
// diversification. Pure computation on caller buffers: every key schedule
// lives in the caller's stack frame, so concurrent calls never share state.
// Also built as a small static library (kovalink_des) for the simulator;
// this folder holds nothing else, so that is all the simulator sees.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kv {
namespace des {

// The 16 round keys of one DES key, 48 bits each in the low bits.
struct Schedule {
    std::uint64_t round[16];
};

// Parity bits (the lowest bit of each key byte) are ignored.
Schedule schedule(const std::uint8_t key[8]);

// One 8-byte block; `in` and `out` may be the same buffer.
void encryptBlock(const Schedule& ks, const std::uint8_t in[8], std::uint8_t out[8]);
void decryptBlock(const Schedule& ks, const std::uint8_t in[8], std::uint8_t out[8]);

// A key of the cipher helpers: up to 8 bytes is single DES with the bytes
// zero-padded to 8; more is two-key triple DES with K1 = bytes 0-7 and
// K2 = the next (up to 8) bytes zero-padded. Bytes past 16 are ignored.
struct Key {
    Schedule k1;
    Schedule k2;
    bool triple = false;
};
Key makeKey(const std::uint8_t* key, std::size_t key_len);

// E(K1) for single DES, E(K1) D(K2) E(K1) for triple DES; and the inverse.
void encrypt(const Key& key, const std::uint8_t in[8], std::uint8_t out[8]);
void decrypt(const Key& key, const std::uint8_t in[8], std::uint8_t out[8]);

enum class Direction { encrypt, decrypt };

// ECB over the whole 8-byte blocks of `input` (length / 8 of them; the tail
// is left alone in both buffers). With a triple-DES key each block of
// `input` is overwritten with the middle value of its computation, so
// `output` and `input` may be the same buffer. False for null pointers.
bool ecb(std::uint8_t* output, std::uint8_t* input, std::size_t length, const std::uint8_t* key,
         std::size_t key_len, Direction direction);

// ISO/IEC 9797-1 padding method 2 and MAC algorithm 1 (single key) or 3
// (two-key, final E(K1) D(K2)), chained under K1 from `iv` (8 bytes, or null
// for zeros); the leftmost 4 bytes go to `mac`.
void mac(std::uint8_t mac[4], const std::uint8_t* data, std::size_t length, const std::uint8_t* key,
         std::size_t key_len, const std::uint8_t iv[8]);

// The diversified 16-byte key: ENC(key)(data) || ENC(key)(NOT data).
void scatter(std::uint8_t output[16], const std::uint8_t data[8], const std::uint8_t* key, std::size_t key_len);

}  // namespace des
}  // namespace kv
