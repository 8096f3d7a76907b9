#include "cards/cos.h"

#include <algorithm>

#include "des.h"

namespace sim {
namespace {

constexpr std::uint16_t kOk = 0x9000;
constexpr std::uint16_t kEndOfFile = 0x6282;
constexpr std::uint16_t kWrongLength = 0x6700;
constexpr std::uint16_t kSecurity = 0x6982;
constexpr std::uint16_t kBlocked = 0x6983;
constexpr std::uint16_t kConditions = 0x6985;
constexpr std::uint16_t kNoCurrentEf = 0x6986;
constexpr std::uint16_t kBadData = 0x6A80;
constexpr std::uint16_t kNotFound = 0x6A82;
constexpr std::uint16_t kWrongP1P2 = 0x6A86;
constexpr std::uint16_t kNoReference = 0x6A88;
constexpr std::uint16_t kOffset = 0x6B00;
constexpr std::uint16_t kBadIns = 0x6D00;
constexpr std::uint16_t kBadCla = 0x6E00;
constexpr std::uint16_t kBadMac = 0x6988;
// What one reader frame carries besides the status word.
constexpr std::size_t kMaxAnswerData = 250;

std::uint16_t triesLeft(int left) { return static_cast<std::uint16_t>(0x63C0 | std::min(left, 15)); }
std::uint16_t moreData(std::size_t n) { return static_cast<std::uint16_t>(0x6100 | (n >= 256 ? 0 : n)); }
std::uint16_t wrongLe(std::size_t n) { return static_cast<std::uint16_t>(0x6C00 | (n >= 256 ? 0 : n)); }

}  // namespace

Bytes withSw(Bytes data, std::uint16_t sw) {
    data.push_back(static_cast<std::uint8_t>(sw >> 8));
    data.push_back(static_cast<std::uint8_t>(sw));
    return data;
}

Bytes swOnly(std::uint16_t sw) { return withSw({}, sw); }

Cos::Cos(Role role) : role_(role), random_(std::random_device{}()) {
    CosDf mf;
    mf.fid = 0x3F00;
    const std::string name = "1PAY.SYS.DDF01";
    mf.name.assign(name.begin(), name.end());
    dfs_.push_back(std::move(mf));
}

CosDf& Cos::addDf(std::uint16_t fid, const std::string& name) {
    CosDf df;
    df.fid = fid;
    df.name.assign(name.begin(), name.end());
    dfs_.push_back(std::move(df));
    return dfs_.back();
}

void Cos::setKey(std::uint8_t id, Bytes value, int limit) { keys_[id] = CosKey{std::move(value), limit, limit}; }

const CosKey* Cos::key(std::uint8_t id) const {
    auto it = keys_.find(id);
    return it == keys_.end() ? nullptr : &it->second;
}

void Cos::setPin(Bytes pin, int limit) {
    pin_ = std::move(pin);
    pin_limit_ = pin_left_ = limit;
}

void Cos::setDiversifier(std::optional<Bytes> uid) {
    if (uid) uid->resize(8, 0x00);
    diversifier_ = std::move(uid);
}

void Cos::reset() {
    current_df_ = 0;
    current_ef_.reset();
    challenge_.reset();
    authenticated_ = pin_verified_ = false;
    session_key_.reset();
    pending_.reset();
    response_rest_.clear();
}

Bytes Cos::process(const Bytes& raw) {
    if (raw.size() < 4) return swOnly(kWrongLength);
    Apdu a{raw[0], raw[1], raw[2], raw[3], {}, std::nullopt};
    if (raw.size() == 5) {
        a.le = raw[4] == 0 ? 256u : raw[4];
    } else if (raw.size() > 5) {
        const std::size_t lc = raw[4];
        if (lc == 0 || (raw.size() != 5 + lc && raw.size() != 6 + lc)) return swOnly(kWrongLength);
        a.data.assign(raw.begin() + 5, raw.begin() + 5 + static_cast<std::ptrdiff_t>(lc));
        if (raw.size() == 6 + lc) a.le = raw.back() == 0 ? 256u : raw.back();
    }
    const bool sam = role_ == Role::sam;
    if (a.cla == 0x00 && a.ins == 0xC0) return getResponse(a);
    response_rest_.clear();
    if (a.cla == 0x00) {
        switch (a.ins) {
        case 0xA4: return select(a);
        case 0xB0: return readBinary(a);
        case 0xD6: return updateBinary(a);
        case 0x84: return getChallenge(a);
        case 0x82: return externalAuthenticate(a);
        case 0x20: return verify(a);
        case 0x88: if (sam) return internalAuthenticate(a); break;
        default: break;
        }
        return swOnly(kBadIns);
    }
    if (a.cla == 0x80) {
        switch (a.ins) {
        case 0x5E: return changePin(a);
        case 0x0E: return eraseDf(a);
        case 0xD4: return writeKey(a);
        case 0x5C: if (!sam) return getBalance(a); break;
        case 0x50: if (!sam) return initialize(a); break;
        case 0x52: if (!sam) return commit(a); break;
        case 0x5A: if (!sam) return transactionProof(a); break;
        case 0x1A: if (sam) return deliverKey(a); break;
        case 0xFA: if (sam) return cipher(a); break;
        case 0x70: if (sam) return purseMac(a); break;
        default: break;
        }
        return swOnly(kBadIns);
    }
    return swOnly(kBadCla);
}

bool Cos::allowed(Access access) const {
    switch (access) {
    case Access::free: return true;
    case Access::pin: return pin_verified_;
    case Access::key: return authenticated_;
    case Access::never: return false;
    }
    return false;
}

CosFile* Cos::currentFile() {
    if (!current_ef_) return nullptr;
    return &dfs_[current_df_].files[*current_ef_];
}

Bytes Cos::select(const Apdu& a) {
    // P2 0C asks for no FCI.
    if ((a.p2 != 0x00 && a.p2 != 0x0C) || (a.p1 != 0x00 && a.p1 != 0x04)) return swOnly(kWrongP1P2);
    if (a.data.empty()) return swOnly(kWrongLength);
    auto enterDf = [&](std::size_t index) {
        current_df_ = index;
        current_ef_.reset();
        authenticated_ = pin_verified_ = false;
        if (a.p2 == 0x0C) return swOnly(kOk);
        const Bytes& name = dfs_[index].name;
        Bytes fci{0x6F, static_cast<std::uint8_t>(name.size() + 2), 0x84, static_cast<std::uint8_t>(name.size())};
        fci.insert(fci.end(), name.begin(), name.end());
        return withSw(fci, kOk);
    };
    if (a.p1 == 0x04) {
        for (std::size_t i = 0; i < dfs_.size(); ++i) {
            if (dfs_[i].name == a.data) return enterDf(i);
        }
        return swOnly(kNotFound);
    }
    if (a.data.size() != 2) return swOnly(kWrongLength);
    const std::uint16_t fid = static_cast<std::uint16_t>(a.data[0] << 8 | a.data[1]);
    const std::vector<CosFile>& files = dfs_[current_df_].files;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i].fid == fid) {
            current_ef_ = i;
            return swOnly(kOk);
        }
    }
    for (std::size_t i = 0; i < dfs_.size(); ++i) {
        if (dfs_[i].fid == fid) return enterDf(i);
    }
    return swOnly(kNotFound);
}

CosFile* Cos::binaryTarget(const Apdu& a, std::size_t* offset, Sw* error) {
    if (a.p1 & 0x80) {
        const std::uint8_t sfi = a.p1 & 0x1F;
        std::vector<CosFile>& files = dfs_[current_df_].files;
        for (std::size_t i = 0; i < files.size(); ++i) {
            if ((files[i].fid & 0x1F) == sfi && (files[i].fid >> 5) == 0) {
                current_ef_ = i;
                *offset = a.p2;
                return &files[i];
            }
        }
        *error = kNotFound;
        return nullptr;
    }
    *offset = static_cast<std::size_t>((a.p1 & 0x7F) << 8 | a.p2);
    CosFile* file = currentFile();
    if (file == nullptr) *error = kNoCurrentEf;
    return file;
}

Bytes Cos::readBinary(const Apdu& a) {
    if (!a.data.empty() || !a.le) return swOnly(kWrongLength);
    std::size_t offset = 0;
    Sw error = 0;
    CosFile* file = binaryTarget(a, &offset, &error);
    if (file == nullptr) return swOnly(error);
    if (!allowed(file->read)) return swOnly(kSecurity);
    if (offset > file->data.size()) return swOnly(kOffset);
    const std::size_t available = file->data.size() - offset;
    const bool to_end = *a.le == 256;
    std::size_t count = to_end ? std::min<std::size_t>(available, 256) : *a.le;
    Sw sw = kOk;
    if (count > available) {
        count = available;
        sw = kEndOfFile;
    }
    const auto first = file->data.begin() + static_cast<std::ptrdiff_t>(offset);
    return answerInParts(Bytes(first, first + static_cast<std::ptrdiff_t>(count)), sw);
}

// 61xx: xx more bytes wait (00 for 256 or more).
Bytes Cos::answerInParts(Bytes data, Sw sw) {
    if (data.size() <= kMaxAnswerData) return withSw(std::move(data), sw);
    response_rest_.assign(data.begin() + static_cast<std::ptrdiff_t>(kMaxAnswerData), data.end());
    response_sw_ = sw;
    data.resize(kMaxAnswerData);
    return withSw(std::move(data), moreData(response_rest_.size()));
}

Bytes Cos::getResponse(const Apdu& a) {
    if (a.p1 != 0 || a.p2 != 0) return swOnly(kWrongP1P2);
    if (!a.data.empty() || !a.le) return swOnly(kWrongLength);
    if (response_rest_.empty()) return swOnly(kConditions);
    if (*a.le > response_rest_.size()) return swOnly(wrongLe(response_rest_.size()));
    Bytes part(response_rest_.begin(), response_rest_.begin() + static_cast<std::ptrdiff_t>(*a.le));
    response_rest_.erase(response_rest_.begin(), response_rest_.begin() + static_cast<std::ptrdiff_t>(*a.le));
    if (response_rest_.empty()) return answerInParts(std::move(part), response_sw_);
    return withSw(std::move(part), moreData(response_rest_.size()));
}

Bytes Cos::updateBinary(const Apdu& a) {
    if (a.data.empty()) return swOnly(kWrongLength);
    std::size_t offset = 0;
    Sw error = 0;
    CosFile* file = binaryTarget(a, &offset, &error);
    if (file == nullptr) return swOnly(error);
    if (!allowed(file->write)) return swOnly(kSecurity);
    if (offset > file->data.size()) return swOnly(kOffset);
    if (offset + a.data.size() > file->data.size()) return swOnly(kWrongLength);
    std::copy(a.data.begin(), a.data.end(), file->data.begin() + static_cast<std::ptrdiff_t>(offset));
    return swOnly(kOk);
}

Bytes Cos::getChallenge(const Apdu& a) {
    if (a.p1 != 0 || a.p2 != 0) return swOnly(kWrongP1P2);
    if (!a.data.empty() || !a.le || (*a.le != 4 && *a.le != 8)) return swOnly(kWrongLength);
    Bytes random(*a.le);
    for (auto& b : random) b = static_cast<std::uint8_t>(random_());
    challenge_ = random;
    challenge_->resize(8, 0x00);
    return withSw(random, kOk);
}

Bytes Cos::cryptKey(std::uint8_t id, const Bytes& diversify_blocks) const {
    Bytes k = keys_.at(id).value;
    for (std::size_t at = 0; at + 8 <= diversify_blocks.size(); at += 8) {
        Bytes next(16);
        kv::des::scatter(next.data(), diversify_blocks.data() + at, k.data(), k.size());
        k = next;
    }
    return k;
}

Bytes Cos::externalAuthenticate(const Apdu& a) {
    if (a.p1 != 0x00) return swOnly(kWrongP1P2);
    if (a.data.size() != 8) return swOnly(kWrongLength);
    auto it = keys_.find(a.p2);
    if (it == keys_.end()) return swOnly(kNoReference);
    CosKey& k = it->second;
    if (k.left <= 0) return swOnly(kBlocked);
    if (!challenge_) return swOnly(kConditions);
    const Bytes challenge = *challenge_;
    challenge_.reset();  // one attempt per challenge
    const Bytes key = cryptKey(a.p2, diversifier_ ? *diversifier_ : Bytes());
    std::uint8_t expected[8];
    kv::des::encrypt(kv::des::makeKey(key.data(), key.size()), challenge.data(), expected);
    if (!std::equal(a.data.begin(), a.data.end(), expected)) {
        --k.left;
        return swOnly(triesLeft(k.left));
    }
    k.left = k.limit;
    authenticated_ = true;
    return swOnly(kOk);
}

Bytes Cos::verify(const Apdu& a) {
    if (a.p1 != 0x00) return swOnly(kWrongP1P2);
    if (a.p2 != 0x00 || pin_.empty()) return swOnly(kNoReference);
    if (pin_left_ <= 0) return swOnly(kBlocked);
    if (a.data.empty()) return swOnly(triesLeft(pin_left_));
    if (a.data.size() > 8) return swOnly(kWrongLength);
    if (a.data != pin_) {
        pin_verified_ = false;
        --pin_left_;
        return swOnly(triesLeft(pin_left_));
    }
    pin_left_ = pin_limit_;
    pin_verified_ = true;
    return swOnly(kOk);
}

Bytes Cos::changePin(const Apdu& a) {
    if (a.p2 != 0x00 || pin_.empty()) return swOnly(kNoReference);
    if (a.p1 == 0x00) {  // reload under the reload key
        if (reload_key_.empty()) return swOnly(kNoReference);
        if (a.data.size() < 5 || a.data.size() > 12) return swOnly(kWrongLength);
        const Bytes pin(a.data.begin(), a.data.end() - 4);
        std::uint8_t mac[4];
        kv::des::mac(mac, pin.data(), pin.size(), reload_key_.data(), reload_key_.size(), nullptr);
        if (!std::equal(a.data.end() - 4, a.data.end(), mac)) return swOnly(kBadMac);
        setPin(pin, pin_limit_);
        return swOnly(kOk);
    }
    if (a.p1 != 0x01) return swOnly(kWrongP1P2);
    const auto separator = std::find(a.data.begin(), a.data.end(), 0xFF);
    if (separator == a.data.end()) return swOnly(kBadData);
    const Bytes old_pin(a.data.begin(), separator), new_pin(separator + 1, a.data.end());
    if (new_pin.empty() || new_pin.size() > 8) return swOnly(kWrongLength);
    if (pin_left_ <= 0) return swOnly(kBlocked);
    if (old_pin != pin_) {
        --pin_left_;
        return swOnly(triesLeft(pin_left_));
    }
    setPin(new_pin, pin_limit_);
    return swOnly(kOk);
}

Bytes Cos::eraseDf(const Apdu& a) {
    if (a.p1 != 0 || a.p2 != 0) return swOnly(kWrongP1P2);
    if (!authenticated_) return swOnly(kSecurity);
    for (CosFile& file : dfs_[current_df_].files) std::fill(file.data.begin(), file.data.end(), 0x00);
    if (role_ == Role::card) {
        balance_ = 0;
        log_.clear();
    }
    return swOnly(kOk);
}

Bytes Cos::writeKey(const Apdu& a) {
    if (a.p1 > 0x01) return swOnly(kWrongP1P2);
    const std::size_t n = a.data.size();
    if (n != 8 && n != 9 && n != 16 && n != 17) return swOnly(kWrongLength);
    const auto existing = keys_.find(a.p2);
    if (a.p1 == 0x01 && existing == keys_.end()) return swOnly(kNoReference);
    if (existing != keys_.end() && !authenticated_) return swOnly(kSecurity);
    const bool with_limit = n == 9 || n == 17;
    int limit = existing != keys_.end() ? existing->second.limit : 3;
    if (with_limit) limit = std::max(1, std::min<int>(a.data[0], 15));
    setKey(a.p2, Bytes(a.data.begin() + (with_limit ? 1 : 0), a.data.end()), limit);
    return swOnly(kOk);
}

}  // namespace sim
