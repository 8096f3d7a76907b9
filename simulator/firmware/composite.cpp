#include "firmware/composite.h"

#include "des.h"

namespace sim {

Bytes apdu(std::uint8_t cla, std::uint8_t ins, std::uint8_t p1, std::uint8_t p2, const Bytes& data,
           std::optional<std::uint8_t> le) {
    Bytes out{cla, ins, p1, p2};
    if (!data.empty()) {
        out.push_back(static_cast<std::uint8_t>(data.size()));
        out.insert(out.end(), data.begin(), data.end());
    }
    if (le) out.push_back(*le);
    return out;
}

Bytes slice(const Bytes& b, std::size_t at, std::size_t n) {
    return Bytes(b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at + n));
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

std::uint16_t sw(const Bytes& answer) {
    if (answer.size() < 2) return 0;
    return static_cast<std::uint16_t>(answer[answer.size() - 2] << 8 | answer.back());
}

bool Script::send(const Bytes& command) {
    last_ = target_(command);
    return sw(last_) == 0x9000;
}

Bytes Script::data() const { return last_.size() < 2 ? Bytes() : Bytes(last_.begin(), last_.end() - 2); }

bool Script::externalAuthenticate(std::uint8_t key_id,
                                  const std::function<std::optional<Bytes>(const Bytes&)>& encrypt) {
    if (!send(apdu(0x00, 0x84, 0x00, 0x00, {}, 0x08))) return false;
    const std::optional<Bytes> cryptogram = encrypt(data());
    if (!cryptogram) return false;
    return send(apdu(0x00, 0x82, 0x00, key_id, *cryptogram));
}

Script cardScript(ApduCard& card) {
    return Script([&card](const Bytes& command) { return card.apdu(command); });
}

Script moduleScript(ContactModule& module) {
    return Script([&module](const Bytes& command) { return module.apdu(command); });
}

Bytes encryptBlock(const Bytes& key, const Bytes& block) {
    Bytes out(8);
    kv::des::encrypt(kv::des::makeKey(key.data(), key.size()), block.data(), out.data());
    return out;
}

Bytes scatterKey(const Bytes& key, Bytes data) {
    data.resize(8, 0x00);
    Bytes out(16);
    kv::des::scatter(out.data(), data.data(), key.data(), key.size());
    return out;
}

}  // namespace sim
