// The pattern every command shares: lay out a payload, exchange one frame
// through the transport, check the status, copy the reply. A command states
// only its code, its payload and which reply rule applies.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "frame.h"

namespace kv {

// A request payload under construction. Adding from a null pointer, or past
// what one frame can carry, marks it invalid; the command is then refused.
class Payload {
public:
    Payload& u8(unsigned value);
    Payload& be16(unsigned value);  // most significant byte first
    Payload& le16(unsigned value);  // least significant byte first
    Payload& le32(std::uint32_t value);
    Payload& bytes(const void* data, std::size_t count);

    const std::uint8_t* data() const { return buffer_; }
    int size() const { return size_; }
    bool valid() const { return valid_; }

private:
    std::uint8_t buffer_[kMaxPayload] = {};
    int size_ = 0;
    bool valid_ = true;
};

// One exchange. The frame object exists only once the request was accepted,
// so a refused request leaves the last status untouched.
class Request {
public:
    Request(std::uint32_t device_address, std::uint8_t command, const Payload& payload);

    // 0 when the reader answered with status 0; otherwise, in this order of
    // precedence: 1 for a refused request or missing transport, the
    // transport's non-zero result, 1 for a rejected reply frame, or the
    // reader's status byte.
    int run();

    // The two halves of run(): send() returns 1 for a refused request or the
    // transport's result; parse() then checks the reply and gives its status.
    int send();
    int parse();

    // Only meaningful after run() returned 0.
    const CTransData& frame() const { return *frame_; }
    CTransData& frame() { return *frame_; }
    int dataLength() const { return frame_->GetDataLength(); }
    void copy(void* destination, int count) const { frame_->CopyData(destination, count); }

    // Sends a new request with the same frame object (a second exchange of
    // the same command), then behaves as run().
    int rerun(std::uint32_t device_address, std::uint8_t command, const Payload& payload);

private:

    std::optional<CTransData> frame_;
    bool refused_ = false;
};

// Reply rules.
int sendStatus(std::uint32_t device_address, std::uint8_t command, const Payload& payload = Payload());
int sendExact(std::uint32_t device_address, std::uint8_t command, const Payload& payload, void* out, int count);
int sendVariable(std::uint32_t device_address, std::uint8_t command, const Payload& payload, void* out,
                 unsigned char* out_length);
int sendVariable(std::uint32_t device_address, std::uint8_t command, const Payload& payload, void* out,
                 int* out_length);
// Succeeds only when the reply carries no payload.
int sendEmptyReply(std::uint32_t device_address, std::uint8_t command, const Payload& payload);
// Length first: the reply length is written to *out_length before it is
// tested, so the caller sees it even when the answer is refused; the data are
// copied, and 0 returned, only when that length lies in [least, most].
int sendLengthFirst(std::uint32_t device_address, std::uint8_t command, const Payload& payload, void* out,
                    unsigned char* out_length, int least, int most);
int sendLengthFirst(std::uint32_t device_address, std::uint8_t command, const Payload& payload, void* out,
                    int* out_length, int least, int most);
// Copies the whole reply payload to out without reporting or testing its
// length (out must hold the largest payload, 252 bytes).
int sendUnsized(std::uint32_t device_address, std::uint8_t command, const Payload& payload, void* out);

// Low 16 bits of the address argument.
inline std::uint32_t address16(int device_address) { return static_cast<std::uint32_t>(device_address) & 0xFFFF; }

}  // namespace kv
