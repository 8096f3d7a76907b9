// Helpers shared by the type A command families: a reply whose length is
// reported before it is checked, and the "key type, block, key" prefix of
// the one-shot commands.
#pragma once

#include <initializer_list>

#include "request.h"

namespace kv {

// Writes the reply length to *out_length first, whatever it is; copies the
// reply to `out` and returns 0 only when its length is one of `accepted`,
// else returns 1. Null out or out_length: 1, nothing sent.
int sendLengthFirst(std::uint32_t device_address, std::uint8_t command, const Payload& payload, void* out,
                    unsigned char* out_length, std::initializer_list<int> accepted);

// Copies a reply of exactly 4 bytes, least significant first, into *value.
int sendValue(std::uint32_t device_address, std::uint8_t command, const Payload& payload, int* value);

// A one-shot request starts with the key type, the block (or sector), and
// the 6 key bytes.
inline Payload oneShot(unsigned key_type, unsigned block, const unsigned char* key) {
    Payload payload;
    payload.u8(key_type).u8(block).bytes(key, 6);
    return payload;
}

// Request modes other than the four known ones go out as 0x52.
inline unsigned char requestMode(unsigned char mode) {
    return (mode == 0x26 || mode == 0x52 || mode == 0xA6 || mode == 0xD2) ? mode : 0x52;
}

}  // namespace kv
