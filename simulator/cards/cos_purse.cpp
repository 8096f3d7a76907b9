// The card's purse and the SAM's cryptographic services.
#include <algorithm>

#include "cards/cos.h"
#include "des.h"

namespace sim {
namespace {

constexpr std::uint16_t kOk = 0x9000;
constexpr std::uint16_t kWrongLength = 0x6700;
constexpr std::uint16_t kConditions = 0x6985;
constexpr std::uint16_t kBadMac = 0x6988;
constexpr std::uint16_t kWrongP1P2 = 0x6A86;
constexpr std::uint16_t kNoReference = 0x6A88;
constexpr std::uint16_t kLowBalance = 0x9401;
constexpr std::uint16_t kTooHigh = 0x9402;
constexpr std::uint32_t kMaxBalance = 0x7FFFFFFF;
constexpr std::size_t kAmount = 4, kTerminal = 6, kDateTime = 7, kMac = 4, kRandom = 4, kSerial = 2;

Bytes be32(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v)};
}

std::uint32_t fromBe32(const Bytes& b) {
    return static_cast<std::uint32_t>(b[0]) << 24 | static_cast<std::uint32_t>(b[1]) << 16 |
           static_cast<std::uint32_t>(b[2]) << 8 | b[3];
}

Bytes slice(const Bytes& b, std::size_t at, std::size_t n) {
    return Bytes(b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at + n));
}

Bytes macOver(const Bytes& key, const Bytes& data) {
    Bytes mac(kMac);
    kv::des::mac(mac.data(), data.data(), data.size(), key.data(), key.size(), nullptr);
    return mac;
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

}  // namespace

Bytes purseMacOf(const Bytes& key, const Bytes& random, const Bytes& serial, const Bytes& aux, const Bytes& amount,
                 std::uint8_t type, const Bytes& terminal, const Bytes& date_time) {
    return macOver(key, concat({random, serial, aux, amount, Bytes{type}, terminal, date_time}));
}

Bytes Cos::getBalance(const Apdu& a) {
    if (a.p1 != 0x00 || a.p2 != 0x02) return swOnly(kWrongP1P2);
    if (!a.data.empty() || !a.le || *a.le != 4) return swOnly(kWrongLength);
    return withSw(be32(balance_), kOk);
}

Bytes Cos::initialize(const Apdu& a) {
    if (a.p1 > 0x01) return swOnly(kWrongP1P2);
    if (a.data.size() != 1 + kAmount + kTerminal) return swOnly(kWrongLength);
    if (keys_.find(a.p2) == keys_.end()) return swOnly(kNoReference);
    Bytes random(kRandom);
    for (auto& b : random) b = static_cast<std::uint8_t>(random_());
    pending_ = Pending{a.p1 == 0x01, a.p2, a.data[0], slice(a.data, 1, kAmount), slice(a.data, 1 + kAmount, kTerminal),
                       random};
    const Bytes serial{static_cast<std::uint8_t>(serial_ >> 8), static_cast<std::uint8_t>(serial_)};
    return withSw(concat({be32(balance_), serial, random}), kOk);
}

Bytes Cos::commit(const Apdu& a) {
    if (a.p1 != 0 || a.p2 != 0) return swOnly(kWrongP1P2);
    const std::size_t n = a.data.size();
    if (n < kDateTime + kMac || n > kDateTime + 8 + kMac) return swOnly(kWrongLength);
    if (!pending_) return swOnly(kConditions);
    const Pending p = *pending_;
    pending_.reset();
    const Bytes date_time = slice(a.data, 0, kDateTime);
    const Bytes aux = slice(a.data, kDateTime, n - kDateTime - kMac);
    const Bytes serial{static_cast<std::uint8_t>(serial_ >> 8), static_cast<std::uint8_t>(serial_)};
    const Bytes& key = keys_.at(p.key_id).value;
    const Bytes mac = purseMacOf(key, p.random, serial, aux, p.amount, p.type, p.terminal, date_time);
    if (!std::equal(mac.begin(), mac.end(), a.data.end() - kMac)) return swOnly(kBadMac);
    const std::uint32_t amount = fromBe32(p.amount);
    if (p.debit && amount > balance_) return swOnly(kLowBalance);
    if (!p.debit && amount > kMaxBalance - std::min(balance_, kMaxBalance)) return swOnly(kTooHigh);
    balance_ = p.debit ? balance_ - amount : balance_ + amount;
    const Bytes tac = macOver(key, concat({be32(balance_), serial, p.amount, Bytes{p.type}, p.terminal, date_time}));
    const Bytes answer = concat({be32(balance_), tac});
    log_.push_back(CosTransaction{serial_, p.type, answer});
    ++serial_;
    return withSw(answer, kOk);
}

Bytes Cos::transactionProof(const Apdu& a) {
    if (a.p1 != 0x00) return swOnly(kWrongP1P2);
    if (a.data.size() != kSerial) return swOnly(kWrongLength);
    const std::uint16_t serial = static_cast<std::uint16_t>(a.data[0] << 8 | a.data[1]);
    for (const CosTransaction& t : log_) {
        if (t.serial == serial && t.type == a.p2) return withSw(t.answer, kOk);
    }
    return swOnly(kNoReference);
}

Bytes Cos::internalAuthenticate(const Apdu& a) {
    if (a.p1 > 0x01) return swOnly(kWrongP1P2);
    if (keys_.find(a.p2) == keys_.end()) return swOnly(kNoReference);
    const bool diversified = a.p1 == 0x01;
    if (diversified ? a.data.size() != 16 : (a.data.size() != 8 && a.data.size() != 16)) {
        return swOnly(kWrongLength);
    }
    const Bytes key = cryptKey(a.p2, diversified ? slice(a.data, 0, 8) : Bytes());
    Bytes data = diversified ? slice(a.data, 8, 8) : a.data;
    Bytes out(data.size());
    kv::des::ecb(out.data(), data.data(), data.size(), key.data(), key.size(), kv::des::Direction::encrypt);
    return withSw(out, kOk);
}

Bytes Cos::deliverKey(const Apdu& a) {
    if (a.p1 != 0x00) return swOnly(kWrongP1P2);
    if (a.data.size() % 8 != 0 || a.data.size() > 24) return swOnly(kWrongLength);
    if (keys_.find(a.p2) == keys_.end()) return swOnly(kNoReference);
    session_key_ = cryptKey(a.p2, a.data);
    return swOnly(kOk);
}

Bytes Cos::cipher(const Apdu& a) {
    if (a.p1 != 0 || a.p2 != 0) return swOnly(kWrongP1P2);
    if (a.data.empty() || a.data.size() % 8 != 0) return swOnly(kWrongLength);
    if (!session_key_) return swOnly(kConditions);
    Bytes data = a.data, out(a.data.size());
    kv::des::ecb(out.data(), data.data(), data.size(), session_key_->data(), session_key_->size(),
                 kv::des::Direction::encrypt);
    return withSw(out, kOk);
}

Bytes Cos::purseMac(const Apdu& a) {
    const std::size_t aux = a.p1;
    const std::size_t fixed = kRandom + kSerial + aux + kAmount + 1 + kTerminal + kDateTime;
    if (aux > 8) return swOnly(kWrongP1P2);
    if (a.data.size() < fixed || (a.data.size() - fixed) % 8 != 0 || a.data.size() - fixed > 24) {
        return swOnly(kWrongLength);
    }
    if (keys_.find(a.p2) == keys_.end()) return swOnly(kNoReference);
    const Bytes key = cryptKey(a.p2, slice(a.data, fixed, a.data.size() - fixed));
    return withSw(macOver(key, slice(a.data, 0, fixed)), kOk);
}

}  // namespace sim
