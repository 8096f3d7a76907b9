#include "cards/at88rf020.h"

#include <algorithm>

#include "cards/card_options.h"
#include "cards/catalog.h"
#include "cards/toolkit.h"
#include "cards/card_types.h"

namespace sim {

namespace {
constexpr std::uint8_t kLockPage = 0;
constexpr std::uint8_t kCounterPage = 2;
constexpr std::uint8_t kFreeReadPages = 3;  // pages 0-2
constexpr std::size_t kLockOffset = 4;
constexpr std::size_t kSignatureSize = 6;
constexpr std::ptrdiff_t kPasswordOffset = At88rf020::kPasswordPage * At88rf020::kPageSize;
// Application data and protocol information of the ATQB: no ISO14443-4.
constexpr std::array<std::uint8_t, 4> kApplicationData = {0x00, 0x00, 0x00, 0x00};
constexpr std::array<std::uint8_t, 3> kProtocolInfo = {0x00, 0x00, 0x00};
}  // namespace

At88rf020::At88rf020(std::array<std::uint8_t, 4> pupi, Bytes memory)
    : TypeBCard(pupi, kApplicationData, kProtocolInfo, 'r'), memory_(std::move(memory)) {
    memory_.resize(kPages * kPageSize, 0x00);
    std::copy(pupi.begin(), pupi.end(), memory_.begin());
}

std::string At88rf020::describe() const {
    return "at88rf020 PUPI " + hex(pupi_.data(), pupi_.size()) + (unlocked_ ? ", password presented" : "");
}

void At88rf020::powerDown() {
    TypeBCard::powerDown();
    unlocked_ = false;
}

bool At88rf020::saveDump(const std::string& path, std::string* why) const { return saveImage(path, memory_, why); }

bool At88rf020::locked(std::size_t n) const {
    const std::uint8_t* bits = memory_.data() + kLockOffset;
    return (bits[n / 8] >> (n % 8)) & 1;
}

std::uint8_t At88rf020::check(const std::uint8_t* password) {
    const std::uint8_t* stored = memory_.data() + kPasswordPage * kPageSize;
    unlocked_ = std::equal(stored, stored + kPageSize, password);
    return unlocked_ ? kOk : kPasswordWrong;
}

std::uint8_t At88rf020::read(std::uint8_t n, Bytes* out) const {
    if (n >= kPages) return kChipBlockRange;
    if (n == kPasswordPage) return kPageUnreadable;
    if (n >= kFreeReadPages && !unlocked_) return kPasswordRequired;
    const auto start = memory_.begin() + static_cast<std::ptrdiff_t>(n * kPageSize);
    out->assign(start, start + kPageSize);
    return kOk;
}

std::uint8_t At88rf020::write(std::uint8_t n, const std::uint8_t* data) {
    if (n >= kPages) return kChipBlockRange;
    // Page 0 changes only by LOCK, page 2 only by COUNT.
    if (n == kLockPage || n == kCounterPage) return kChipLocked;
    if (!unlocked_) return kPasswordRequired;
    if (locked(n)) return kChipLocked;
    std::copy(data, data + kPageSize, page(n));
    return kOk;
}

std::uint8_t At88rf020::lock(const std::uint8_t* bits) {
    if (!unlocked_) return kPasswordRequired;
    // Lock bits are only ever set.
    for (std::size_t i = 0; i < 4; ++i) page(kLockPage)[kLockOffset + i] |= bits[i];
    return kOk;
}

std::uint8_t At88rf020::count(const std::uint8_t* signature) {
    if (!unlocked_) return kPasswordRequired;
    if (locked(kCounterPage)) return kChipLocked;
    std::uint8_t* p = page(kCounterPage);
    const unsigned counter = p[6] | p[7] << 8;
    if (counter == 0xFFFF) return kCounterExhausted;
    std::copy(signature, signature + kSignatureSize, p);
    p[6] = static_cast<std::uint8_t>(counter + 1);
    p[7] = static_cast<std::uint8_t>((counter + 1) >> 8);
    return kOk;
}

void At88rf020::deselect() {
    state_ = State::halted;
    unlocked_ = false;
}

void registerAt88rf020Cards(CardCatalog& catalog) {
    CardType type;
    type.name = "at88rf020";
    type.description = "Atmel AT88RF020 (ISO14443 type B, 32 pages of 8 bytes, password)";
    type.options =
        "uid=PUPI, 4 bytes of hex (default A1B2C3D4; page 0 bytes 0-3); password=8 bytes of hex "
        "(default 0000000000000000; page 3); dump=raw image of 256 bytes (pages in order; "
        "uid and password, when given, replace its pages 0 and 3)";
    type.make = [](const CardOptions& options, std::string* why) -> CardPtr {
        Bytes memory(At88rf020::kPages * At88rf020::kPageSize, 0x00);
        if (!onlyOptions(options, {"uid", "password", "dump"}, why) ||
            !loadImage(options, memory.size(), &memory, why)) {
            return nullptr;
        }
        Bytes pupi = options.count("dump") ? Bytes(memory.begin(), memory.begin() + 4) : Bytes{0xA1, 0xB2, 0xC3, 0xD4};
        Bytes password(memory.begin() + kPasswordOffset, memory.begin() + kPasswordOffset + 8);
        if (!hexOption(options, "uid", {4}, &pupi, why) || !hexOption(options, "password", {8}, &password, why)) {
            return nullptr;
        }
        std::copy(password.begin(), password.end(), memory.begin() + kPasswordOffset);
        return std::make_shared<At88rf020>(std::array<std::uint8_t, 4>{pupi[0], pupi[1], pupi[2], pupi[3]},
                                           std::move(memory));
    };
    catalog.registerType(std::move(type));
}

}  // namespace sim
