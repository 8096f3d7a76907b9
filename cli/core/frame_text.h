// The reader frame as it goes on the wire, rebuilt for --trace: the tool
// encodes each request itself from the function's command code and payload
// (the libraries stay free of trace hooks), and stuffs reply bodies that it
// holds whole (those of door_acess).
#pragma once

#include <cstdint>

#include "bytes.h"

namespace kl {

// STX, address low/high, length, code, payload, checksum, ETX; every byte
// between STX and ETX that is 02, 03 or 10 is preceded by 10.
Bytes encodeRequestFrame(std::uint16_t address, std::uint8_t code, const Bytes& payload);

// A frame body (request: address, length, code, payload, checksum; reply:
// address, length, byte 3, status, payload, checksum) framed
// with STX/ETX and stuffed as the reader sends it.
Bytes frameBody(const Bytes& body);

}  // namespace kl
