#include "request.h"

#include <cstring>

#include "binding.h"

namespace kv {

Payload& Payload::u8(unsigned value) {
    if (size_ < kMaxPayload) buffer_[size_++] = static_cast<std::uint8_t>(value);
    else valid_ = false;
    return *this;
}

Payload& Payload::be16(unsigned value) { return u8(value >> 8).u8(value); }
Payload& Payload::le16(unsigned value) { return u8(value).u8(value >> 8); }
Payload& Payload::le32(std::uint32_t value) { return u8(value).u8(value >> 8).u8(value >> 16).u8(value >> 24); }

Payload& Payload::bytes(const void* data, std::size_t count) {
    if (count == 0) return *this;
    // size_ never exceeds kMaxPayload, so the room left cannot wrap.
    if (data == nullptr || count > static_cast<std::size_t>(kMaxPayload - size_)) {
        valid_ = false;
        return *this;
    }
    std::memcpy(buffer_ + size_, data, count);
    size_ += static_cast<int>(count);
    return *this;
}

Request::Request(std::uint32_t device_address, std::uint8_t command, const Payload& payload) {
    if (!payload.valid() || transport() == nullptr) {
        refused_ = true;
        return;
    }
    frame_.emplace(device_address & 0xFFFF, command, payload.data(), payload.size());
}

int Request::send() {
    CDllMstCom* link = transport();
    if (refused_ || link == nullptr) return 1;
    return link->CommunicateRFResult(frame_->request(), static_cast<unsigned>(frame_->requestLength()),
                                     frame_->reply(), frame_->replyLength());
}

int Request::parse() {
    frame_->ParseReply();
    return frame_->GetStatus();
}

int Request::run() {
    if (const int sent = send()) return sent;
    return parse();
}

int Request::rerun(std::uint32_t device_address, std::uint8_t command, const Payload& payload) {
    if (refused_ || !payload.valid()) return 1;
    frame_->Rebuild(device_address & 0xFFFF, command, payload.data(), payload.size());
    return run();
}

int sendStatus(std::uint32_t device_address, std::uint8_t command, const Payload& payload) {
    return Request(device_address, command, payload).run();
}

int sendExact(std::uint32_t device_address, std::uint8_t command, const Payload& payload, void* out, int count) {
    if (out == nullptr) return 1;
    Request request(device_address, command, payload);
    if (const int status = request.run()) return status;
    if (request.dataLength() != count) return 1;
    request.copy(out, count);
    return 0;
}

namespace {
template <typename Length>
int variable(std::uint32_t device_address, std::uint8_t command, const Payload& payload, void* out,
             Length* out_length) {
    if (out == nullptr || out_length == nullptr) return 1;
    Request request(device_address, command, payload);
    if (const int status = request.run()) return status;
    const int length = request.dataLength();
    *out_length = static_cast<Length>(length);
    request.copy(out, length);
    return 0;
}
}  // namespace

int sendVariable(std::uint32_t device_address, std::uint8_t command, const Payload& payload, void* out,
                 unsigned char* out_length) {
    return variable(device_address, command, payload, out, out_length);
}

int sendVariable(std::uint32_t device_address, std::uint8_t command, const Payload& payload, void* out,
                 int* out_length) {
    return variable(device_address, command, payload, out, out_length);
}

namespace {
template <typename Length>
int lengthFirst(std::uint32_t device_address, std::uint8_t command, const Payload& payload, void* out,
                Length* out_length, int least, int most) {
    if (out == nullptr || out_length == nullptr) return 1;
    Request request(device_address, command, payload);
    if (const int status = request.run()) return status;
    const int length = request.dataLength();
    *out_length = static_cast<Length>(length);
    if (length < least || length > most) return 1;
    request.copy(out, length);
    return 0;
}
}  // namespace

int sendLengthFirst(std::uint32_t device_address, std::uint8_t command, const Payload& payload, void* out,
                    unsigned char* out_length, int least, int most) {
    return lengthFirst(device_address, command, payload, out, out_length, least, most);
}

int sendLengthFirst(std::uint32_t device_address, std::uint8_t command, const Payload& payload, void* out,
                    int* out_length, int least, int most) {
    return lengthFirst(device_address, command, payload, out, out_length, least, most);
}

int sendUnsized(std::uint32_t device_address, std::uint8_t command, const Payload& payload, void* out) {
    if (out == nullptr) return 1;
    Request request(device_address, command, payload);
    if (const int status = request.run()) return status;
    request.copy(out, request.dataLength());
    return 0;
}

int sendEmptyReply(std::uint32_t device_address, std::uint8_t command, const Payload& payload) {
    Request request(device_address, command, payload);
    if (const int status = request.run()) return status;
    return request.dataLength() == 0 ? 0 : 1;
}

}  // namespace kv
