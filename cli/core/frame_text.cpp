#include "frame_text.h"

namespace kl {
namespace {
constexpr std::uint8_t kStx = 0x02, kEtx = 0x03, kDle = 0x10;

void stuff(Bytes& out, std::uint8_t b) {
    if (b == kStx || b == kEtx || b == kDle) out.push_back(kDle);
    out.push_back(b);
}
}  // namespace

Bytes encodeRequestFrame(std::uint16_t address, std::uint8_t code, const Bytes& payload) {
    Bytes body = {static_cast<std::uint8_t>(address & 0xFF), static_cast<std::uint8_t>(address >> 8),
                  static_cast<std::uint8_t>((payload.size() + 3) & 0xFF), code};
    body.insert(body.end(), payload.begin(), payload.end());
    unsigned sum = 0;
    for (std::uint8_t b : body) sum += b;
    body.push_back(static_cast<std::uint8_t>(sum & 0xFF));
    return frameBody(body);
}

Bytes frameBody(const Bytes& body) {
    Bytes wire = {kStx};
    for (std::uint8_t b : body) stuff(wire, b);
    wire.push_back(kEtx);
    return wire;
}

}  // namespace kl
