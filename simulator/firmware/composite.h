// The building blocks of the reader's composite CPU-card and PSAM commands:
// a script of APDUs sent in turn to one card or module, stopping at the
// first answer that is not 90 00; the reply carries the last answer.
#pragma once

#include <functional>
#include <optional>

#include "firmware/processor_cards.h"

namespace sim {

Bytes apdu(std::uint8_t cla, std::uint8_t ins, std::uint8_t p1, std::uint8_t p2, const Bytes& data = {},
           std::optional<std::uint8_t> le = std::nullopt);
Bytes slice(const Bytes& b, std::size_t at, std::size_t n);
Bytes concat(std::initializer_list<Bytes> parts);
std::uint16_t sw(const Bytes& answer);

class Script {
public:
    explicit Script(std::function<Bytes(const Bytes&)> target) : target_(std::move(target)) {}

    // Sends one APDU; true when it ended in 90 00.
    bool send(const Bytes& command);
    const Bytes& last() const { return last_; }
    // The last answer without its status word.
    Bytes data() const;
    Reply reply() const { return answerReply(last_); }

    // SELECT by file id (two bytes).
    bool select(std::uint8_t high, std::uint8_t low) { return send(apdu(0x00, 0xA4, 0x00, 0x00, {high, low})); }
    // GET CHALLENGE of 8 bytes, then EXTERNAL AUTHENTICATE with the challenge
    // encrypted under `key`, or under what `encrypt` makes of it.
    bool externalAuthenticate(std::uint8_t key_id, const std::function<std::optional<Bytes>(const Bytes&)>& encrypt);

private:
    std::function<Bytes(const Bytes&)> target_;
    Bytes last_;
};

Script cardScript(ApduCard& card);
Script moduleScript(ContactModule& module);

// DES/3DES (by key length) of one 8-byte block.
Bytes encryptBlock(const Bytes& key, const Bytes& block);
// The key scattered over `data` zero-padded or cut to 8 bytes.
Bytes scatterKey(const Bytes& key, Bytes data);

// A length byte at `at` must count exactly the bytes after it.
inline bool counted(const Bytes& p, std::size_t at) { return p.size() > at && p[at] == p.size() - at - 1; }

// A composite command's payload rule, checked before anything is sent.
struct Length {
    std::size_t min;
    std::size_t max;
    bool fits(const Bytes& payload) const { return payload.size() >= min && payload.size() <= max; }
};

}  // namespace sim
