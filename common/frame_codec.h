// The reader's frames as they travel in reports: decoding request and reply
// frames from the byte stream, encoding them, and cutting them into reports.
// This is an implementation of the frame format of its own, apart from the
// library's encoder, so that the simulator and the wire trace check what the
// library sends instead of repeating it.
//
// A frame is STX, the stuffed body, ETX; in the body every 0x02, 0x03 and
// 0x10 is preceded by DLE (0x10). Bodies:
//   request: address low, address high, n + 3, command, n payload bytes, checksum
//   reply:   address low, address high, n + 3, command, status, n payload bytes, checksum
// The checksum is the sum of the body bytes before it, modulo 256.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "bytes.h"

namespace common {

struct Command {
    std::uint16_t address = 0;
    std::uint8_t code = 0;
    Bytes payload;  // of a reply: the bytes after the status
};

struct DecodedFrame {
    bool ok = false;
    std::string error;        // why the frame was rejected: "checksum", "length byte", "frame too short"
    Command command;          // address and code are set whenever the body had them
    std::uint8_t status = 0;  // of a reply
    Bytes raw;                // the frame as it came, STX to ETX
};

enum class FrameKind { request, reply };

// Collects bytes across reports and yields every complete frame. Bytes
// outside a frame are dropped; an unescaped STX restarts the frame; a frame
// that runs past 4096 body bytes is dropped.
class FrameDecoder {
public:
    explicit FrameDecoder(FrameKind kind = FrameKind::request) : kind_(kind) {}

    void feed(const std::uint8_t* data, std::size_t length, std::vector<DecodedFrame>& frames);
    bool inFrame() const { return in_frame_; }
    void reset();

private:
    DecodedFrame finish() const;

    FrameKind kind_;
    bool in_frame_ = false;
    bool escape_ = false;
    Bytes body_;
    Bytes raw_;
};

// The wire bytes of a request.
Bytes encodeRequest(std::uint16_t address, std::uint8_t code, const Bytes& payload);
// The wire bytes of a reply; `checksum_xor` spoils the checksum for fault injection.
Bytes encodeReply(std::uint16_t address, std::uint8_t code, std::uint8_t status, const Bytes& payload,
                  std::uint8_t checksum_xor = 0);

// Splits frame bytes into 33-byte reports: 0, count, up to 31 data bytes.
std::vector<Bytes> toReports(const Bytes& frame);

}  // namespace common
