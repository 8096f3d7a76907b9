#include "cards/ultralight.h"

#include <algorithm>
#include <cstring>

#include "cards/ultralight_c_auth.h"
#include "card_image.h"
#include "cards/toolkit.h"

namespace sim {
namespace {

constexpr int kUlcKeyPage = 0x2C;
constexpr int kUlcAuth0Page = 0x2A;
constexpr int kUlcAuth1Page = 0x2B;
constexpr int kNtagCfg0Page = 0x29;    // byte 3: AUTH0
constexpr int kNtagAccessPage = 0x2A;  // byte 0: PROT (bit 7), CFGLCK (bit 6), NFC_CNT_EN (bit 4), AUTHLIM (bits 0-2)
constexpr int kNtagPwdPage = 0x2B;
constexpr int kNtagPackPage = 0x2C;
constexpr std::uint8_t kProt = 0x80, kCfgLock = 0x40, kNfcCounterEnable = 0x10, kAuthLimMask = 0x07;

// The Ultralight C's factory key, "BREAKMEIFYOUCAN!" as the tag stores it.
constexpr std::uint8_t kUlcFactoryKey[16] = {0x49, 0x45, 0x4D, 0x4B, 0x41, 0x45, 0x52, 0x42,
                                             0x21, 0x4E, 0x41, 0x43, 0x55, 0x4F, 0x59, 0x46};
constexpr std::uint8_t kNtag213Version[8] = {0x00, 0x04, 0x04, 0x02, 0x01, 0x00, 0x0F, 0x03};

struct Initial {
    int page;
    std::uint8_t bytes[4];
};

const std::vector<Initial>& initialPages(UltralightCard::Model model) {
    static const std::vector<Initial> none;
    static const std::vector<Initial> ultralight_c = {{kUlcAuth0Page, {0x30, 0, 0, 0}}};
    static const std::vector<Initial> ntag203 = {
        {3, {0xE1, 0x10, 0x12, 0x00}}, {4, {0x01, 0x03, 0xA0, 0x10}}, {5, {0x44, 0x03, 0x00, 0xFE}}};
    static const std::vector<Initial> ntag213 = {
        {3, {0xE1, 0x10, 0x12, 0x00}},       {4, {0x01, 0x03, 0xA0, 0x0C}},
        {5, {0x34, 0x03, 0x00, 0xFE}},       {0x28, {0x00, 0x00, 0x00, 0xBD}},
        {kNtagCfg0Page, {0x04, 0, 0, 0xFF}}, {kNtagPwdPage, {0xFF, 0xFF, 0xFF, 0xFF}}};
    switch (model) {
    case UltralightCard::Model::ultralightC: return ultralight_c;
    case UltralightCard::Model::ntag203: return ntag203;
    case UltralightCard::Model::ntag213: return ntag213;
    default: return none;
    }
}

}  // namespace

UltralightCard::UltralightCard(Model model, std::vector<std::uint8_t> uid)
    : SessionCard(uid, 0x0044, 0x00), model_(model) {
    memory_.assign(static_cast<std::size_t>(pageCount()) * kPageSize, 0);
    const Bytes& u = uid_;
    const std::uint8_t head[12] = {u[0], u[1], u[2], static_cast<std::uint8_t>(0x88 ^ u[0] ^ u[1] ^ u[2]),
                                   u[3], u[4], u[5], u[6],
                                   static_cast<std::uint8_t>(u[3] ^ u[4] ^ u[5] ^ u[6]), 0x48, 0x00, 0x00};
    std::copy(head, head + 12, memory_.begin());
    if (model_ == Model::ultralightC) setUlcKey(kUlcFactoryKey);
    if (model_ == Model::ntag213) {
        for (int i = 0; i < 32; ++i) signature_.push_back(static_cast<std::uint8_t>(u[i % 7] ^ (0x5A + 29 * i)));
    }
    for (const Initial& p : initialPages(model_)) std::memcpy(page(p.page), p.bytes, kPageSize);
    latchLocks();
}

int UltralightCard::pageCount() const {
    switch (model_) {
    case Model::ultralight: return 16;
    case Model::ultralightC: return 48;
    case Model::ntag203: return 42;
    case Model::ntag213: return 45;
    }
    return 0;
}

std::string UltralightCard::kind() const {
    switch (model_) {
    case Model::ultralight: return "ultralight";
    case Model::ultralightC: return "ultralightc";
    case Model::ntag203: return "ntag203";
    case Model::ntag213: return "ntag213";
    }
    return "ultralight";
}

std::string UltralightCard::describe() const { return kind() + " UID " + hex(uid_) + stateNote(); }

bool UltralightCard::saveDump(const std::string& path, std::string* why) const {
    common::image::Error error;
    if (common::image::savePages(path, common::image::Image::of(memory_), &error)) return true;
    if (why) *why = error.text();
    return false;
}

bool UltralightCard::loadImage(const Bytes& image, std::string* why) {
    if (!replaceMemory(memory_, image, why)) return false;
    counter_pending_.reset();
    latchLocks();
    return true;
}

// The key is two 8-byte halves; the tag stores each half byte-reversed.
void UltralightCard::setUlcKey(const std::uint8_t* key) {
    std::uint8_t* stored = page(kUlcKeyPage);
    for (int i = 0; i < 8; ++i) {
        stored[i] = key[7 - i];
        stored[8 + i] = key[15 - i];
    }
    active_key_.assign(key, key + 16);
}

void UltralightCard::setPassword(const Bytes& pwd, const Bytes& pack) {
    std::copy(pwd.begin(), pwd.begin() + 4, page(kNtagPwdPage));
    std::copy(pack.begin(), pack.begin() + 2, page(kNtagPackPage));
}

void UltralightCard::setAuth0(std::uint8_t first) {
    if (model_ == Model::ultralightC) page(kUlcAuth0Page)[0] = first;
    if (model_ == Model::ntag213) page(kNtagCfg0Page)[3] = first;
}

void UltralightCard::setReadProtection(bool on) {
    if (model_ == Model::ultralightC) page(kUlcAuth1Page)[0] = on ? 0x00 : 0x01;
    if (model_ == Model::ntag213) {
        std::uint8_t& access = page(kNtagAccessPage)[0];
        access = static_cast<std::uint8_t>((access & ~kProt) | (on ? kProt : 0));
    }
}

void UltralightCard::setAuthLimit(std::uint8_t limit) {
    std::uint8_t& access = page(kNtagAccessPage)[0];
    access = static_cast<std::uint8_t>((access & ~kAuthLimMask) | (limit & kAuthLimMask));
}

void UltralightCard::endSession() {
    authenticated_ = false;
    rnd_b_.clear();
}

// The tag reads its lock bytes and key into its logic when it is woken, so
// what was written since counts from the next REQA/WUPA on.
bool UltralightCard::request(bool wake_up) {
    if (!SessionCard::request(wake_up)) return false;
    latchLocks();
    return true;
}

void UltralightCard::latchLocks() {
    std::copy(page(2) + 2, page(2) + 4, static_locks_);
    if (dynamicLockPage() >= 0) std::copy(page(dynamicLockPage()), page(dynamicLockPage()) + 2, dynamic_locks_);
    if (model_ == Model::ultralightC) active_key_ = ulcKey();
}

void UltralightCard::powerDown() {
    SessionCard::powerDown();
    counted_ = false;
    if (counter_pending_) {
        page(counterPage())[0] = static_cast<std::uint8_t>(*counter_pending_);
        page(counterPage())[1] = static_cast<std::uint8_t>(*counter_pending_ >> 8);
        counter_pending_.reset();
    }
}

// A refused command gets a NAK, after which the tag resets: back to idle,
// or to HALT when it was woken from there, and it must be selected again.
std::uint8_t UltralightCard::nak(std::uint8_t status) {
    if (status == kOk) return kOk;
    if (wokenFromHalt()) {
        halt();
    } else {
        reset();
    }
    return status;
}

int UltralightCard::auth0() const {
    if (model_ == Model::ultralightC) return page(kUlcAuth0Page)[0];
    if (model_ == Model::ntag213) return page(kNtagCfg0Page)[3];
    return 0x100;
}

bool UltralightCard::readProtected() const {
    if (model_ == Model::ultralightC) return (page(kUlcAuth1Page)[0] & 1) == 0;
    if (model_ == Model::ntag213) return (page(kNtagAccessPage)[0] & kProt) != 0;
    return false;
}

int UltralightCard::readLimit() const {
    int limit = model_ == Model::ultralightC ? kUlcKeyPage : pageCount();  // the 3DES key never reads back
    if (!authenticated_ && readProtected()) limit = std::min(limit, auth0());
    return limit;
}

bool UltralightCard::hidden(int p) const {
    return model_ == Model::ntag213 && (p == kNtagPwdPage || p == kNtagPackPage);
}

// Pages 3-15: static lock bits in page 2 bytes 2-3, bit n for page n. From
// page 16 up to the dynamic lock page: the dynamic lock bits. Both as
// latched at the last REQA/WUPA.
bool UltralightCard::pageLocked(int p) const {
    if (p < 2) return true;
    if (p >= 3 && p < 16) {
        const unsigned bits = static_locks_[0] | static_locks_[1] << 8;
        return (bits >> p) & 1;
    }
    return p >= 16 && p < dynamicLockPage() && dynamicLockBit(p);
}

// NTAG213: one bit per two pages from page 16, bits of bytes 0-1 in order.
// Ultralight C and NTAG203, byte 0: bits 1-3 lock pages 16-19, 20-23 and
// 24-27, bits 5-7 pages 28-31, 32-35 and 36-39; bits 0 and 4 are the
// block-lock bits of those two groups.
bool UltralightCard::dynamicLockBit(int p) const {
    if (model_ == Model::ntag213) {
        const unsigned bits = dynamic_locks_[0] | dynamic_locks_[1] << 8;
        return (bits >> ((p - 16) / 2)) & 1;
    }
    const int group = (p - 16) / 4;
    return (dynamic_locks_[0] >> (group < 3 ? group + 1 : group + 2)) & 1;
}

std::uint8_t UltralightCard::checkRead(int p) const {
    if (p < 0 || p >= pageCount()) return kBlockRange;
    if (p >= readLimit()) return model_ == Model::ultralightC && p >= kUlcKeyPage ? kAccessDenied : kNotAuthenticated;
    return kOk;
}

// The NTAG213's NFC counter counts the first READ or FAST_READ after RF
// power-up, and only while NFC_CNT_EN (ACCESS bit 4) is set.
void UltralightCard::countRead() {
    if (model_ != Model::ntag213 || counted_) return;
    counted_ = true;
    if ((page(kNtagAccessPage)[0] & kNfcCounterEnable) && nfc_counter_ < 0xFFFFFF) ++nfc_counter_;
}

std::uint8_t UltralightCard::read(int first, Bytes* out) {
    if (const std::uint8_t status = checkRead(first)) return nak(status);
    countRead();
    const int limit = readLimit();
    out->clear();
    for (int i = 0; i < 4; ++i) {
        const int p = (first + i) % limit;
        for (std::size_t b = 0; b < kPageSize; ++b) out->push_back(hidden(p) ? 0 : page(p)[b]);
    }
    return kOk;
}

std::uint8_t UltralightCard::fastRead(int first, int last, Bytes* out) {
    if (model_ != Model::ntag213) return kNotSupported;
    if (first > last || last >= pageCount()) return nak(kBlockRange);
    if (const std::uint8_t status = checkRead(last)) return nak(status);
    countRead();
    out->clear();
    for (int p = first; p <= last; ++p) {
        for (std::size_t b = 0; b < kPageSize; ++b) out->push_back(hidden(p) ? 0 : page(p)[b]);
    }
    return kOk;
}

std::uint8_t UltralightCard::write(int p, const std::uint8_t* data) {
    if (p < 0 || p >= pageCount()) return nak(kBlockRange);
    const bool guarded = model_ == Model::ultralightC || model_ == Model::ntag213;
    if (guarded && !authenticated_ && p >= auth0()) return nak(kNotAuthenticated);
    if (pageLocked(p)) return nak(kLocked);
    if (p == 2 || p == 3 || p == dynamicLockPage()) return writeLockBytes(p, data);
    if (p == counterPage()) return nak(writeCounter(data));
    if (model_ == Model::ntag213 && (p == kNtagCfg0Page || p == kNtagAccessPage) &&
        (page(kNtagAccessPage)[0] & kCfgLock)) {
        return nak(kLocked);
    }
    std::memcpy(page(p), data, kPageSize);
    return kOk;
}

// Lock and OTP bits are OR-ed in; block-lock bits (as latched) keep lock
// bits from being set.
std::uint8_t UltralightCard::writeLockBytes(int p, const std::uint8_t* data) {
    std::uint8_t* target = page(p);
    if (p == 2) {
        // Static block-lock bits: bit 0 freezes the OTP page's lock bit,
        // bit 1 those of pages 4-9, bit 2 those of pages 10-15.
        const unsigned bl = static_locks_[0] & 0x07;
        const unsigned frozen = (bl & 1 ? 0x0008u : 0) | (bl & 2 ? 0x03F0u : 0) | (bl & 4 ? 0xFC00u : 0);
        const unsigned add = (data[2] | data[3] << 8) & ~frozen;
        target[2] = static_cast<std::uint8_t>(target[2] | add);
        target[3] = static_cast<std::uint8_t>(target[3] | add >> 8);
        return kOk;
    }
    // The dynamic lock page's last byte is reserved.
    const std::size_t count = p == 3 ? 4 : 3;
    std::uint8_t add[4] = {data[0], data[1], data[2], data[3]};
    if (p != 3 && model_ != Model::ntag213) {
        // Dynamic block-lock bits: bit 0 freezes bits 1-3, bit 4 bits 5-7.
        const std::uint8_t bl = dynamic_locks_[0];
        add[0] = static_cast<std::uint8_t>(add[0] & ~((bl & 0x01 ? 0x0E : 0) | (bl & 0x10 ? 0xE0 : 0)));
    }
    for (std::size_t b = 0; b < count; ++b) target[b] |= add[b];
    return kOk;
}

// The 16-bit one-way counter of page 0x29. While it is 0 a write sets any
// value; after that a write adds 1 to 15: the Ultralight C adds the low
// nibble of the written byte 0, the NTAG203 refuses any other value. The
// new value takes effect at the next RF reset; until then reads give the
// old one.
std::uint8_t UltralightCard::writeCounter(const std::uint8_t* data) {
    const unsigned current = page(counterPage())[0] | page(counterPage())[1] << 8;
    const unsigned base = counter_pending_ ? *counter_pending_ : current;
    const unsigned written = data[0] | data[1] << 8;
    unsigned next = written;
    if (current != 0 || counter_pending_) {
        const unsigned step = model_ == Model::ultralightC ? (data[0] & 0x0Fu) : written;
        if (step > 15 || (model_ == Model::ntag203 && step == 0)) return kBadParameter;
        next = base + step;
    }
    if (next > 0xFFFF) return kValueOverflow;
    counter_pending_ = static_cast<std::uint16_t>(next);
    return kOk;
}

std::uint8_t UltralightCard::lockPage(int p, const std::uint8_t* data) {
    if (p != 2 && p != 3 && p != dynamicLockPage()) return kBadParameter;
    return write(p, data);
}

std::uint8_t UltralightCard::readCounter(Bytes* out) const {
    if (model_ != Model::ntag213) return kNotSupported;
    *out = {static_cast<std::uint8_t>(nfc_counter_), static_cast<std::uint8_t>(nfc_counter_ >> 8),
            static_cast<std::uint8_t>(nfc_counter_ >> 16)};
    return kOk;
}

std::uint8_t UltralightCard::getVersion(Bytes* out) const {
    if (model_ != Model::ntag213) return kNotSupported;
    out->assign(kNtag213Version, kNtag213Version + 8);
    return kOk;
}

std::uint8_t UltralightCard::readSignature(Bytes* out) const {
    if (model_ != Model::ntag213) return kNotSupported;
    *out = signature_;
    return kOk;
}

// Every failure counts against AUTHLIM; once it is reached the password
// is refused for good, as on the tag.
std::uint8_t UltralightCard::passwordAuth(const std::uint8_t* password, Bytes* pack) {
    if (model_ != Model::ntag213) return kNotSupported;
    const unsigned limit = page(kNtagAccessPage)[0] & kAuthLimMask;
    const bool exhausted = limit != 0 && failed_attempts_ >= limit;
    if (exhausted || std::memcmp(password, page(kNtagPwdPage), 4) != 0) {
        if (!exhausted) ++failed_attempts_;
        return nak(kAuthFailed);
    }
    failed_attempts_ = 0;
    authenticated_ = true;
    pack->assign(page(kNtagPackPage), page(kNtagPackPage) + 2);
    return kOk;
}

// The key as it was written to pages 0x2C-0x2F.
Bytes UltralightCard::ulcKey() const {
    const std::uint8_t* stored = page(kUlcKeyPage);
    Bytes key(16);
    for (int i = 0; i < 8; ++i) {
        key[i] = stored[7 - i];
        key[8 + i] = stored[15 - i];
    }
    return key;
}

std::uint8_t UltralightCard::ulcChallenge(Bytes* challenge) {
    if (model_ != Model::ultralightC) return kNotSupported;
    authenticated_ = false;
    rnd_b_ = ulc::randomBlock();
    ulc::Block iv{};
    *challenge = ulc::encryptCbc(kv::des::makeKey(active_key_.data(), active_key_.size()), iv, rnd_b_);
    ulc_iv_.assign(iv.begin(), iv.end());
    return kOk;
}

std::uint8_t UltralightCard::ulcConfirm(const Bytes& response, Bytes* proof) {
    if (model_ != Model::ultralightC) return kNotSupported;
    const kv::des::Key key = kv::des::makeKey(active_key_.data(), active_key_.size());
    ulc::Block iv{};
    std::copy(ulc_iv_.begin(), ulc_iv_.end(), iv.begin());
    const Bytes plain = response.size() == 16 && !rnd_b_.empty() ? ulc::decryptCbc(key, iv, response) : Bytes();
    const Bytes expected = ulc::rotated(rnd_b_);
    rnd_b_.clear();
    if (plain.size() != 16 || !std::equal(expected.begin(), expected.end(), plain.begin() + 8)) {
        return nak(kAuthFailed);
    }
    authenticated_ = true;
    *proof = ulc::encryptCbc(key, iv, ulc::rotated(Bytes(plain.begin(), plain.begin() + 8)));
    return kOk;
}

std::uint8_t UltralightCard::ulcWriteKey(const std::uint8_t* key) {
    if (model_ != Model::ultralightC) return kNotSupported;
    if (!authenticated_ && auth0() <= kUlcKeyPage + 3) return nak(kNotAuthenticated);
    // Written like four pages: the tag uses the new key from the next REQA/WUPA.
    const Bytes active = active_key_;
    setUlcKey(key);
    active_key_ = active;
    return kOk;
}

std::uint8_t UltralightCard::selectSector(int sector) const {
    if (!isNtag()) return kNotSupported;
    return sector == 0 ? kOk : kBlockRange;
}

}  // namespace sim
