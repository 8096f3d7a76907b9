// What the CPU-card, PSAM and Wiegand helpers share: every one packs its
// parameters into one request and hands back the card's or SAM's answer
// (variable length). Over-long data is refused with -2 before anything is
// sent; limits are chosen so that no payload exceeds one frame.
#pragma once

#include "request.h"

namespace kv {
namespace cpu {

constexpr int kTooLong = -2;
constexpr unsigned kPinMax = 8;

// The answer rule of all these helpers.
inline int exchange(int device_address, std::uint8_t command, const Payload& payload, unsigned char* response,
                    unsigned char* response_len) {
    return sendVariable(address16(device_address), command, payload, response, response_len);
}

// External authentications take a single-DES or a two-key triple-DES key.
inline bool desKeyLength(unsigned key_len) { return key_len == 8 || key_len == 16; }

}  // namespace cpu
}  // namespace kv
