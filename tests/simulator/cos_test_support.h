// Helpers of the card-operating-system tests.
#pragma once

#include <string>

#include "cards/cos.h"
#include "des.h"

namespace costest {

inline sim::Bytes h(const std::string& text) {
    sim::Bytes out;
    sim::parseHex(text, &out);
    return out;
}

inline std::string run(sim::Cos& cos, const std::string& apdu) { return sim::hex(cos.process(h(apdu))); }

// Status word of an answer as 4 hex digits.
inline std::string sw(const sim::Bytes& answer) {
    return sim::hex(sim::Bytes(answer.end() - 2, answer.end()));
}

inline sim::Bytes encrypt(const sim::Bytes& key, const sim::Bytes& block) {
    sim::Bytes out(8);
    kv::des::encrypt(kv::des::makeKey(key.data(), key.size()), block.data(), out.data());
    return out;
}

// GET CHALLENGE then EXTERNAL AUTHENTICATE under `key`; the answer.
inline sim::Bytes authenticate(sim::Cos& cos, const sim::Bytes& key, std::uint8_t key_id = 0) {
    const sim::Bytes challenge = cos.process(h("0084000008"));
    sim::Bytes command = {0x00, 0x82, 0x00, key_id, 0x08};
    const sim::Bytes crypto = encrypt(key, sim::Bytes(challenge.begin(), challenge.begin() + 8));
    command.insert(command.end(), crypto.begin(), crypto.end());
    return cos.process(command);
}

}  // namespace costest
