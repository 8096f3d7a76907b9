#include "des.h"

#include <cstring>

namespace kv {
namespace des {
namespace {

// Bit positions count from 1 at the most significant bit, as the standard
// numbers them.
constexpr std::uint8_t kIp[64] = {58, 50, 42, 34, 26, 18, 10, 2, 60, 52, 44, 36, 28, 20, 12, 4,
                                  62, 54, 46, 38, 30, 22, 14, 6, 64, 56, 48, 40, 32, 24, 16, 8,
                                  57, 49, 41, 33, 25, 17, 9,  1, 59, 51, 43, 35, 27, 19, 11, 3,
                                  61, 53, 45, 37, 29, 21, 13, 5, 63, 55, 47, 39, 31, 23, 15, 7};
constexpr std::uint8_t kFp[64] = {40, 8, 48, 16, 56, 24, 64, 32, 39, 7, 47, 15, 55, 23, 63, 31,
                                  38, 6, 46, 14, 54, 22, 62, 30, 37, 5, 45, 13, 53, 21, 61, 29,
                                  36, 4, 44, 12, 52, 20, 60, 28, 35, 3, 43, 11, 51, 19, 59, 27,
                                  34, 2, 42, 10, 50, 18, 58, 26, 33, 1, 41, 9,  49, 17, 57, 25};
constexpr std::uint8_t kP[32] = {16, 7, 20, 21, 29, 12, 28, 17, 1,  15, 23, 26, 5,  18, 31, 10,
                                 2,  8, 24, 14, 32, 27, 3,  9,  19, 13, 30, 6,  22, 11, 4,  25};
constexpr std::uint8_t kPc1[56] = {57, 49, 41, 33, 25, 17, 9,  1,  58, 50, 42, 34, 26, 18,
                                   10, 2,  59, 51, 43, 35, 27, 19, 11, 3,  60, 52, 44, 36,
                                   63, 55, 47, 39, 31, 23, 15, 7,  62, 54, 46, 38, 30, 22,
                                   14, 6,  61, 53, 45, 37, 29, 21, 13, 5,  28, 20, 12, 4};
constexpr std::uint8_t kPc2[48] = {14, 17, 11, 24, 1,  5,  3,  28, 15, 6,  21, 10, 23, 19, 12, 4,
                                   26, 8,  16, 7,  27, 20, 13, 2,  41, 52, 31, 37, 47, 55, 30, 40,
                                   51, 45, 33, 48, 44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32};
constexpr std::uint8_t kShifts[16] = {1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};
constexpr std::uint8_t kS[8][64] = {
    {14, 4,  13, 1, 2,  15, 11, 8,  3,  10, 6,  12, 5,  9,  0, 7,  0, 15, 7,  4,  14, 2,
     13, 1,  10, 6, 12, 11, 9,  5,  3,  8,  4,  1,  14, 8,  13, 6, 2,  11, 15, 12, 9,  7,
     3,  10, 5,  0, 15, 12, 8,  2,  4,  9,  1,  7,  5,  11, 3,  14, 10, 0,  6,  13},
    {15, 1,  8,  14, 6,  11, 3,  4,  9,  7,  2,  13, 12, 0, 5,  10, 3, 13, 4,  7,  15, 2,
     8,  14, 12, 0,  1,  10, 6,  9,  11, 5,  0,  14, 7,  11, 10, 4, 13, 1,  5,  8,  12, 6,
     9,  3,  2,  15, 13, 8,  10, 1,  3,  15, 4,  2,  11, 6,  7,  12, 0,  5,  14, 9},
    {10, 0,  9,  14, 6, 3,  15, 5,  1,  13, 12, 7,  11, 4,  2,  8,  13, 7,  0,  9,  3, 4,
     6,  10, 2,  8,  5, 14, 12, 11, 15, 1,  13, 6,  4,  9,  8,  15, 3,  0,  11, 1,  2, 12,
     5,  10, 14, 7,  1, 10, 13, 0,  6,  9,  8,  7,  4,  15, 14, 3,  11, 5,  2,  12},
    {7,  13, 14, 3, 0,  6,  9,  10, 1,  2, 8,  5,  11, 12, 4,  15, 13, 8,  11, 5,  6,  15,
     0,  3,  4,  7, 2,  12, 1,  10, 14, 9, 10, 6,  9,  0,  12, 11, 7,  13, 15, 1,  3,  14,
     5,  2,  8,  4, 3,  15, 0,  6,  10, 1, 13, 8,  9,  4,  5,  11, 12, 7,  2,  14},
    {2,  12, 4,  1,  7,  10, 11, 6,  8,  5,  3,  15, 13, 0, 14, 9,  14, 11, 2,  12, 4,  7,
     13, 1,  5,  0,  15, 10, 3,  9,  8,  6,  4,  2,  1,  11, 10, 13, 7,  8,  15, 9,  12, 5,
     6,  3,  0,  14, 11, 8,  12, 7,  1,  14, 2,  13, 6,  15, 0,  9,  10, 4,  5,  3},
    {12, 1,  10, 15, 9, 2,  6,  8,  0,  13, 3,  4,  14, 7,  5,  11, 10, 15, 4,  2,  7,  12,
     9,  5,  6,  1,  13, 14, 0,  11, 3,  8,  9,  14, 15, 5,  2,  8,  12, 3,  7,  0,  4,  10,
     1,  13, 11, 6,  4,  3,  2,  12, 9,  5,  15, 10, 11, 14, 1,  7,  6,  0,  8,  13},
    {4,  11, 2,  14, 15, 0,  8,  13, 3,  12, 9,  7,  5,  10, 6,  1,  13, 0,  11, 7,  4,  9,
     1,  10, 14, 3,  5,  12, 2,  15, 8,  6,  1,  4,  11, 13, 12, 3,  7,  14, 10, 15, 6,  8,
     0,  5,  9,  2,  6,  11, 13, 8,  1,  4,  10, 7,  9,  5,  0,  15, 14, 2,  3,  12},
    {13, 2,  8,  4,  6,  15, 11, 1,  10, 9,  3,  14, 5,  0,  12, 7,  1,  15, 13, 8,  10, 3,
     7,  4,  12, 5,  6,  11, 0,  14, 9,  2,  7,  11, 4,  1,  9,  12, 14, 2,  0,  6,  10, 13,
     15, 3,  5,  8,  2,  1,  14, 7,  4,  10, 8,  13, 15, 12, 9,  0,  3,  5,  6,  11}};

// Output bit i (from the top of an n-bit result) is input bit table[i] of
// a `width`-bit input.
template <std::size_t N>
std::uint64_t permute(std::uint64_t in, int width, const std::uint8_t (&table)[N]) {
    std::uint64_t out = 0;
    for (std::size_t i = 0; i < N; ++i) out = out << 1 | ((in >> (width - table[i])) & 1);
    return out;
}

std::uint64_t load(const std::uint8_t b[8]) {
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v = v << 8 | b[i];
    return v;
}

void store(std::uint64_t v, std::uint8_t b[8]) {
    for (int i = 7; i >= 0; --i, v >>= 8) b[i] = static_cast<std::uint8_t>(v);
}

// Tables derived once from the standard's permutations and S-boxes, then
// only read: the S-box outputs already passed through P, and the initial
// and final permutations applied byte by byte.
struct Tables {
    std::uint32_t sp[8][64];
    std::uint64_t ip[8][256];
    std::uint64_t fp[8][256];

    Tables() {
        for (int box = 0; box < 8; ++box) {
            for (unsigned six = 0; six < 64; ++six) {
                const unsigned row = (six >> 4 & 2) | (six & 1);
                const unsigned column = six >> 1 & 0xF;
                const std::uint64_t s = static_cast<std::uint64_t>(kS[box][row * 16 + column]) << (28 - 4 * box);
                sp[box][six] = static_cast<std::uint32_t>(permute(s, 32, kP));
            }
        }
        for (int at = 0; at < 8; ++at) {
            for (unsigned v = 0; v < 256; ++v) {
                const std::uint64_t in = static_cast<std::uint64_t>(v) << (56 - 8 * at);
                ip[at][v] = permute(in, 64, kIp);
                fp[at][v] = permute(in, 64, kFp);
            }
        }
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

std::uint64_t permuteBytes(const std::uint64_t (&table)[8][256], std::uint64_t v) {
    std::uint64_t out = 0;
    for (int at = 0; at < 8; ++at) out |= table[at][(v >> (56 - 8 * at)) & 0xFF];
    return out;
}

// The expansion E takes, for S-box i, bits 4i to 4i+5 of the half block
// (bit 0 standing for bit 32, wrapping round).
std::uint32_t feistel(const Tables& t, std::uint32_t r, std::uint64_t round_key) {
    const std::uint64_t wide = static_cast<std::uint64_t>(r & 1) << 33 | static_cast<std::uint64_t>(r) << 1 | r >> 31;
    std::uint32_t out = 0;
    for (int box = 0; box < 8; ++box) {
        const unsigned six = static_cast<unsigned>((wide >> (28 - 4 * box)) ^ (round_key >> (42 - 6 * box))) & 0x3F;
        out |= t.sp[box][six];
    }
    return out;
}

void crypt(const Schedule& ks, const std::uint8_t in[8], std::uint8_t out[8], bool decrypting) {
    const Tables& t = tables();
    const std::uint64_t block = permuteBytes(t.ip, load(in));
    std::uint32_t l = static_cast<std::uint32_t>(block >> 32);
    std::uint32_t r = static_cast<std::uint32_t>(block);
    for (int i = 0; i < 16; ++i) {
        const std::uint32_t next = l ^ feistel(t, r, ks.round[decrypting ? 15 - i : i]);
        l = r;
        r = next;
    }
    // The halves are swapped once more before the final permutation.
    store(permuteBytes(t.fp, static_cast<std::uint64_t>(r) << 32 | l), out);
}

void padKey(const std::uint8_t* key, std::size_t count, std::uint8_t out[8]) {
    std::memset(out, 0, 8);
    if (count > 8) count = 8;
    if (count > 0) std::memcpy(out, key, count);
}

}  // namespace

Schedule schedule(const std::uint8_t key[8]) {
    const std::uint64_t cd = permute(load(key), 64, kPc1);
    std::uint32_t c = static_cast<std::uint32_t>(cd >> 28) & 0x0FFFFFFF;
    std::uint32_t d = static_cast<std::uint32_t>(cd) & 0x0FFFFFFF;
    Schedule ks{};
    for (int i = 0; i < 16; ++i) {
        for (int s = 0; s < kShifts[i]; ++s) {
            c = ((c << 1) | (c >> 27)) & 0x0FFFFFFF;
            d = ((d << 1) | (d >> 27)) & 0x0FFFFFFF;
        }
        ks.round[i] = permute(static_cast<std::uint64_t>(c) << 28 | d, 56, kPc2);
    }
    return ks;
}

void encryptBlock(const Schedule& ks, const std::uint8_t in[8], std::uint8_t out[8]) { crypt(ks, in, out, false); }
void decryptBlock(const Schedule& ks, const std::uint8_t in[8], std::uint8_t out[8]) { crypt(ks, in, out, true); }

Key makeKey(const std::uint8_t* key, std::size_t key_len) {
    std::uint8_t half[8];
    Key k{};
    padKey(key, key_len, half);
    k.k1 = schedule(half);
    k.triple = key_len > 8;
    if (k.triple) {
        padKey(key + 8, key_len - 8, half);
        k.k2 = schedule(half);
    }
    return k;
}

void encrypt(const Key& key, const std::uint8_t in[8], std::uint8_t out[8]) {
    encryptBlock(key.k1, in, out);
    if (!key.triple) return;
    decryptBlock(key.k2, out, out);
    encryptBlock(key.k1, out, out);
}

void decrypt(const Key& key, const std::uint8_t in[8], std::uint8_t out[8]) {
    decryptBlock(key.k1, in, out);
    if (!key.triple) return;
    encryptBlock(key.k2, out, out);
    decryptBlock(key.k1, out, out);
}

bool ecb(std::uint8_t* output, std::uint8_t* input, std::size_t length, const std::uint8_t* key,
         std::size_t key_len, Direction direction) {
    if (output == nullptr || input == nullptr || key == nullptr) return false;
    const Key k = makeKey(key, key_len);
    const bool enc = direction == Direction::encrypt;
    for (std::size_t at = 0; at + 8 <= length; at += 8) {
        std::uint8_t* out = output + at;
        std::uint8_t* in = input + at;
        if (enc) encryptBlock(k.k1, in, out);
        else decryptBlock(k.k1, in, out);
        if (!k.triple) continue;
        // The middle value is left in the input block.
        if (enc) decryptBlock(k.k2, out, in);
        else encryptBlock(k.k2, out, in);
        if (enc) encryptBlock(k.k1, in, out);
        else decryptBlock(k.k1, in, out);
    }
    return true;
}

void mac(std::uint8_t mac[4], const std::uint8_t* data, std::size_t length, const std::uint8_t* key,
         std::size_t key_len, const std::uint8_t iv[8]) {
    const Key k = makeKey(key, key_len);
    std::uint8_t x[8] = {};
    if (iv != nullptr) std::memcpy(x, iv, 8);
    // Padding method 2: 0x80 then zeros to a whole block, always at least one byte.
    const std::size_t padded = (length / 8 + 1) * 8;
    for (std::size_t at = 0; at < padded; at += 8) {
        for (std::size_t i = 0; i < 8; ++i) {
            const std::size_t pos = at + i;
            const std::uint8_t byte = pos < length ? data[pos] : (pos == length ? 0x80 : 0x00);
            x[i] ^= byte;
        }
        encryptBlock(k.k1, x, x);
    }
    if (k.triple) {
        decryptBlock(k.k2, x, x);
        encryptBlock(k.k1, x, x);
    }
    std::memcpy(mac, x, 4);
}

void scatter(std::uint8_t output[16], const std::uint8_t data[8], const std::uint8_t* key, std::size_t key_len) {
    std::uint8_t block[16];
    for (int i = 0; i < 8; ++i) {
        block[i] = data[i];
        block[8 + i] = static_cast<std::uint8_t>(~data[i]);
    }
    ecb(output, block, 16, key, key_len, Direction::encrypt);
}

}  // namespace des
}  // namespace kv
