#include "server/wire.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace sim {
namespace {

constexpr std::uint8_t kStx = 0x02, kEtx = 0x03, kDle = 0x10;
constexpr std::size_t kReportData = 31;

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

std::uint8_t sum(const Bytes& bytes) {
    std::uint8_t s = 0;
    for (std::uint8_t b : bytes) s = static_cast<std::uint8_t>(s + b);
    return s;
}

}  // namespace

void FrameDecoder::reset() {
    in_frame_ = false;
    escape_ = false;
    body_.clear();
    raw_.clear();
}

void FrameDecoder::feed(const std::uint8_t* data, std::size_t length, std::vector<DecodedFrame>& frames) {
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint8_t b = data[i];
        if (in_frame_) raw_.push_back(b);
        if (escape_) {
            escape_ = false;
            if (in_frame_) body_.push_back(b);
            continue;
        }
        if (b == kStx) {
            in_frame_ = true;
            body_.clear();
            raw_.assign(1, b);
        } else if (b == kDle) {
            escape_ = true;
        } else if (b == kEtx && in_frame_) {
            DecodedFrame f;
            f.raw = raw_;
            // Body: address low, address high, length, command, payload, checksum.
            if (body_.size() >= 5) {
                f.command.address = static_cast<std::uint16_t>(body_[0] | (body_[1] << 8));
                f.command.code = body_[3];
                f.command.payload.assign(body_.begin() + 4, body_.end() - 1);
                const Bytes summed(body_.begin(), body_.end() - 1);
                if (sum(summed) != body_.back()) {
                    f.error = "checksum";
                } else if (body_[2] != static_cast<std::uint8_t>(body_.size() - 2)) {
                    f.error = "length byte";
                } else {
                    f.ok = true;
                }
            } else {
                f.error = "frame too short";
            }
            frames.push_back(std::move(f));
            in_frame_ = false;
            body_.clear();
            raw_.clear();
        } else if (in_frame_) {
            body_.push_back(b);
            if (body_.size() > 4096) reset();  // runaway frame: start over
        }
    }
}

Bytes encodeReply(std::uint16_t address, std::uint8_t code, std::uint8_t status, const Bytes& payload,
                  std::uint8_t checksum_xor) {
    Bytes body{static_cast<std::uint8_t>(address & 0xFF), static_cast<std::uint8_t>(address >> 8),
               static_cast<std::uint8_t>(payload.size() + 3), code, status};
    body.insert(body.end(), payload.begin(), payload.end());
    body.push_back(static_cast<std::uint8_t>(sum(body) ^ checksum_xor));
    return frame(body);
}

Bytes encodeRequest(std::uint16_t address, std::uint8_t code, const Bytes& payload) {
    Bytes body{static_cast<std::uint8_t>(address & 0xFF), static_cast<std::uint8_t>(address >> 8),
               static_cast<std::uint8_t>(payload.size() + 3), code};
    body.insert(body.end(), payload.begin(), payload.end());
    body.push_back(sum(body));
    return frame(body);
}

std::vector<Bytes> toReports(const Bytes& frame) {
    std::vector<Bytes> reports;
    for (std::size_t offset = 0; offset < frame.size(); offset += kReportData) {
        const std::size_t count = std::min(kReportData, frame.size() - offset);
        Bytes report(33, 0);
        report[1] = static_cast<std::uint8_t>(count);
        std::copy(frame.begin() + offset, frame.begin() + offset + count, report.begin() + 2);
        reports.push_back(std::move(report));
    }
    return reports;
}

std::string hex(const std::uint8_t* data, std::size_t length) {
    std::string out;
    char digits[4];
    for (std::size_t i = 0; i < length; ++i) {
        std::snprintf(digits, sizeof digits, i ? " %02X" : "%02X", data[i]);
        out += digits;
    }
    return out;
}

bool parseHex(const std::string& text, Bytes* out) {
    Bytes bytes;
    int high = -1;
    for (char c : text) {
        if (c == ' ' || c == ':' || c == '-' || c == '\t') continue;
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
        const int v = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (std::tolower(c) - 'a' + 10);
        if (high < 0) {
            high = v;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high << 4 | v));
            high = -1;
        }
    }
    if (high >= 0) return false;
    *out = std::move(bytes);
    return true;
}

}  // namespace sim
