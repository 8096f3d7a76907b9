#include "frame_codec.h"

#include <algorithm>

namespace common {
namespace {

constexpr std::uint8_t kStx = 0x02, kEtx = 0x03, kDle = 0x10;
constexpr std::size_t kReportData = 31;
constexpr std::size_t kMaxBody = 4096;

Bytes frame(const Bytes& body) {
    Bytes out;
    out.reserve(body.size() * 2 + 2);
    out.push_back(kStx);
    for (std::uint8_t b : body) {
        if (b == kStx || b == kEtx || b == kDle) out.push_back(kDle);
        out.push_back(b);
    }
    out.push_back(kEtx);
    return out;
}

std::uint8_t sum(Bytes::const_iterator begin, Bytes::const_iterator end) {
    std::uint8_t s = 0;
    for (auto it = begin; it != end; ++it) s = static_cast<std::uint8_t>(s + *it);
    return s;
}

}  // namespace

void FrameDecoder::reset() {
    in_frame_ = false;
    escape_ = false;
    body_.clear();
    raw_.clear();
}

DecodedFrame FrameDecoder::finish() const {
    DecodedFrame f;
    f.raw = raw_;
    // What the length byte counts and where the payload starts differ: a
    // request's length is its body size - 2, a reply's its body size - 3.
    const bool reply = kind_ == FrameKind::reply;
    const std::size_t head = reply ? 5 : 4;
    if (body_.size() < head + 1) {
        f.error = "frame too short";
        return f;
    }
    f.command.address = static_cast<std::uint16_t>(body_[0] | (body_[1] << 8));
    f.command.code = body_[3];
    if (reply) f.status = body_[4];
    f.command.payload.assign(body_.begin() + static_cast<std::ptrdiff_t>(head), body_.end() - 1);
    if (sum(body_.begin(), body_.end() - 1) != body_.back()) {
        f.error = "checksum";
    } else if (body_[2] != static_cast<std::uint8_t>(body_.size() - (reply ? 3 : 2))) {
        f.error = "length byte";
    } else {
        f.ok = true;
    }
    return f;
}

void FrameDecoder::feed(const std::uint8_t* data, std::size_t length, std::vector<DecodedFrame>& frames) {
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint8_t b = data[i];
        if (in_frame_) raw_.push_back(b);
        if (escape_) {
            escape_ = false;
            if (in_frame_) {
                body_.push_back(b);
                if (body_.size() > kMaxBody) reset();  // escaped bytes count too
            }
            continue;
        }
        if (b == kStx) {
            in_frame_ = true;
            body_.clear();
            raw_.assign(1, b);
        } else if (b == kDle) {
            escape_ = true;
        } else if (b == kEtx && in_frame_) {
            frames.push_back(finish());
            in_frame_ = false;
            body_.clear();
            raw_.clear();
        } else if (in_frame_) {
            body_.push_back(b);
            if (body_.size() > kMaxBody) reset();  // runaway frame: start over
        }
    }
}

Bytes encodeRequest(std::uint16_t address, std::uint8_t code, const Bytes& payload) {
    Bytes body{static_cast<std::uint8_t>(address & 0xFF), static_cast<std::uint8_t>(address >> 8),
               static_cast<std::uint8_t>(payload.size() + 3), code};
    body.insert(body.end(), payload.begin(), payload.end());
    body.push_back(sum(body.begin(), body.end()));
    return frame(body);
}

Bytes encodeReply(std::uint16_t address, std::uint8_t code, std::uint8_t status, const Bytes& payload,
                  std::uint8_t checksum_xor) {
    Bytes body{static_cast<std::uint8_t>(address & 0xFF), static_cast<std::uint8_t>(address >> 8),
               static_cast<std::uint8_t>(payload.size() + 3), code, status};
    body.insert(body.end(), payload.begin(), payload.end());
    body.push_back(static_cast<std::uint8_t>(sum(body.begin(), body.end()) ^ checksum_xor));
    return frame(body);
}

std::vector<Bytes> toReports(const Bytes& frame) {
    std::vector<Bytes> reports;
    for (std::size_t offset = 0; offset < frame.size(); offset += kReportData) {
        const std::size_t count = std::min(kReportData, frame.size() - offset);
        Bytes report(33, 0);
        report[1] = static_cast<std::uint8_t>(count);
        std::copy(frame.begin() + static_cast<std::ptrdiff_t>(offset),
                  frame.begin() + static_cast<std::ptrdiff_t>(offset + count), report.begin() + 2);
        reports.push_back(std::move(report));
    }
    return reports;
}

}  // namespace common
