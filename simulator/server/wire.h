// The reader's side of the frame format: decoding request frames from the
// byte stream, encoding reply frames, and cutting them into reports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

using Bytes = std::vector<std::uint8_t>;

struct Command {
    std::uint16_t address = 0;
    std::uint8_t code = 0;
    Bytes payload;
};

struct DecodedFrame {
    bool ok = false;
    std::string error;  // why the frame was rejected
    Command command;    // address and code are set whenever the body had them
    Bytes raw;          // the frame as it came, STX to ETX
};

// Collects bytes across reports and yields every complete frame. Bytes
// outside a frame are dropped; an unescaped STX restarts the frame.
class FrameDecoder {
public:
    void feed(const std::uint8_t* data, std::size_t length, std::vector<DecodedFrame>& frames);
    bool inFrame() const { return in_frame_; }
    void reset();

private:
    bool in_frame_ = false;
    bool escape_ = false;
    Bytes body_;
    Bytes raw_;
};

// The wire bytes of a reply: body = address, length (n + 3), the command
// code, status, payload, checksum; stuffed and framed.
// `checksum_xor` spoils the checksum for fault injection.
Bytes encodeReply(std::uint16_t address, std::uint8_t code, std::uint8_t status, const Bytes& payload,
                  std::uint8_t checksum_xor = 0);

// The wire bytes of a request, as the library builds them.
Bytes encodeRequest(std::uint16_t address, std::uint8_t code, const Bytes& payload);

// Splits frame bytes into 33-byte reports: 0, count, up to 31 data bytes.
std::vector<Bytes> toReports(const Bytes& frame);

std::string hex(const std::uint8_t* data, std::size_t length);
inline std::string hex(const Bytes& bytes) { return hex(bytes.data(), bytes.size()); }
// Parses hex digits, ignoring spaces, ':' and '-'; false on odd or bad input.
bool parseHex(const std::string& text, Bytes* out);

}  // namespace sim
