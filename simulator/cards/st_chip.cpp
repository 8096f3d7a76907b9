#include "cards/st_chip.h"

#include <algorithm>

#include "cards/card_options.h"
#include "cards/catalog.h"
#include "cards/toolkit.h"
#include "cards/card_types.h"

namespace sim {

namespace {
constexpr std::size_t kSr176IdBlock = 15;
constexpr std::size_t kSr176UidBlocks = 4;  // blocks 0-3 hold the UID
constexpr std::size_t kOtpBlocks = 5;  // blocks 0-4 of the SRI512 and SRIX4K
constexpr std::size_t kFirstCounter = 5;
constexpr std::size_t kLastCounter = 6;
constexpr std::size_t kSrix4kFirstLockable = 7;
constexpr unsigned kReloadShift = 21;  // bits 31-21 of counter 6 count its reloads

std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}
}  // namespace

StChip::StChip(StType type, std::array<std::uint8_t, 8> uid, Bytes memory, std::optional<std::uint8_t> chip_id)
    : type_(type), uid_(uid), memory_(std::move(memory)), fixed_id_(chip_id), random_(std::random_device{}()) {
    memory_.resize(blocks() * blockSize(), 0xFF);
    locks_ = type_ == StType::sri512 ? 0xFFFF : 0xFF;
    if (type_ == StType::sr176) {
        std::copy(uid_.begin(), uid_.end(), memory_.begin());
        if (chip_id)
            memory_[kSr176IdBlock * 2] =
                static_cast<std::uint8_t>((memory_[kSr176IdBlock * 2] & 0xF0) | (*chip_id & 0x0F));
    }
    chip_id_ = currentChipId();
    if (type_ == StType::sr176) sr176_locks_ = memory_[kSr176IdBlock * 2 + 1];
}

std::string StChip::kind() const {
    switch (type_) {
    case StType::sr176: return "sr176";
    case StType::sri512: return "sri512";
    default: return "srix4k";
    }
}

std::string StChip::describe() const {
    static const char* const kStates[] = {"ready", "inventory", "selected", "deselected", "deactivated"};
    return kind() + " " + hex(reversed(Bytes(uid_.begin(), uid_.end()))) + ", " + kStates[static_cast<int>(state_)];
}

bool StChip::saveDump(const std::string& path, std::string* why) const { return saveImage(path, memory_, why); }

std::uint8_t StChip::currentChipId() const {
    if (type_ == StType::sr176) return memory_[kSr176IdBlock * 2] & 0x0F;
    return fixed_id_ ? *fixed_id_ : chip_id_;
}

std::optional<std::uint8_t> StChip::initiate() {
    if (state_ != State::ready && state_ != State::inventory) return std::nullopt;
    state_ = State::inventory;
    if (type_ == StType::sr176 || fixed_id_) {
        chip_id_ = currentChipId();
    } else {
        chip_id_ = static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, 255)(random_));
    }
    return chip_id_;
}

bool StChip::select(std::uint8_t chip_id) {
    if (chip_id == chip_id_ &&
        (state_ == State::inventory || state_ == State::deselected || state_ == State::selected)) {
        state_ = State::selected;
        // The SR176 reads its lock byte at SELECT: PROTECT_BLOCK counts from the next one.
        if (type_ == StType::sr176) sr176_locks_ = memory_[kSr176IdBlock * 2 + 1];
        return true;
    }
    if (state_ == State::selected) state_ = State::deselected;
    return false;
}

bool StChip::locked(std::size_t block) const {
    switch (type_) {
    case StType::sr176: return block < kSr176UidBlocks || ((sr176_locks_ >> (block / 2)) & 1);
    case StType::sri512: return !((locks_ >> block) & 1);
    default:
        if (block < kSrix4kFirstLockable) return false;
        return !((locks_ >> (block / 16)) & 1);  // bit 0 covers blocks 7-15
    }
}

std::uint8_t StChip::read(std::uint8_t block, Bytes* out) const {
    if (block == kSystemBlock && type_ != StType::sr176) {
        // Chip id, then the lock bits in the top byte(s).
        if (type_ == StType::srix4k)
            *out = {chip_id_, 0xFF, 0xFF, static_cast<std::uint8_t>(locks_)};
        else
            *out = {chip_id_, 0xFF, static_cast<std::uint8_t>(locks_), static_cast<std::uint8_t>(locks_ >> 8)};
        return kOk;
    }
    if (block >= blocks()) return kChipBlockRange;
    const auto start = memory_.begin() + static_cast<std::ptrdiff_t>(block * blockSize());
    out->assign(start, start + static_cast<std::ptrdiff_t>(blockSize()));
    return kOk;
}

std::uint8_t StChip::write(std::uint8_t block, const std::uint8_t* data) {
    if (block == kSystemBlock && type_ != StType::sr176) {
        // Writing the system block programs the lock bits it carries.
        return type_ == StType::srix4k ? writeLockRegister(data[3])
                                       : writeLockField(static_cast<std::uint16_t>(data[2] | data[3] << 8));
    }
    if (block >= blocks()) return kChipBlockRange;
    if (locked(block)) return kChipLocked;
    std::uint8_t* target = memory_.data() + block * blockSize();
    if (type_ == StType::sr176 && block == kSr176IdBlock) {
        // Only the chip id changes here; the lock byte changes by protect.
        target[0] = static_cast<std::uint8_t>((target[0] & 0xF0) | (data[0] & 0x0F));
        return kOk;
    }
    if (type_ == StType::sr176) {
        std::copy(data, data + blockSize(), target);
        return kOk;
    }
    if (block < kOtpBlocks) {
        // Resettable OTP: bits only go from 1 to 0.
        for (std::size_t i = 0; i < blockSize(); ++i) target[i] &= data[i];
        return kOk;
    }
    if (block >= kFirstCounter && block <= kLastCounter) {
        // Count-down counters: they never increase.
        if (le32(data) > le32(target)) return kCounterUp;
        // Lowering bits 31-21 of counter 6 reloads it, which erases the
        // resettable OTP blocks 0-4 back to all ones.
        if (block == kLastCounter && (le32(data) >> kReloadShift) < (le32(target) >> kReloadShift)) {
            std::fill(memory_.begin(), memory_.begin() + static_cast<std::ptrdiff_t>(kOtpBlocks * blockSize()), 0xFF);
        }
    }
    std::copy(data, data + blockSize(), target);
    return kOk;
}

std::uint8_t StChip::protectSr176(std::uint8_t lock_bits) {
    if (type_ != StType::sr176) return kWrongCardType;
    memory_[kSr176IdBlock * 2 + 1] |= lock_bits;  // one-time: bits are only set
    return kOk;
}

std::uint8_t StChip::writeLockRegister(std::uint8_t value) {
    if (type_ != StType::srix4k) return kWrongCardType;
    locks_ &= value;  // one-time: a cleared bit stays cleared
    return kOk;
}

std::uint8_t StChip::writeLockField(std::uint16_t value) {
    if (type_ != StType::sri512) return kWrongCardType;
    locks_ &= value;
    return kOk;
}

std::uint8_t StChip::authenticate(const std::uint8_t* challenge, Bytes* response) const {
    if (type_ != StType::srix4k) return kWrongCardType;
    // The chip's own function is secret; the simulator answers with a keyed
    // hash (FNV-1a over UID and challenge), so the same chip always gives the
    // same answer to the same challenge and other chips a different one.
    std::uint32_t hash = 2166136261u;
    auto mix = [&hash](std::uint8_t byte) { hash = (hash ^ byte) * 16777619u; };
    for (std::uint8_t byte : uid_) mix(byte);
    for (int i = 0; i < 6; ++i) mix(challenge[i]);
    *response = {static_cast<std::uint8_t>(hash), static_cast<std::uint8_t>(hash >> 8),
                 static_cast<std::uint8_t>(hash >> 16)};
    return kOk;
}

std::uint8_t StChip::getUid(Bytes* out) const {
    if (type_ == StType::sr176) return kWrongCardType;
    out->assign(uid_.begin(), uid_.end());
    return kOk;
}

namespace {
// chipid=: the SR176's 4-bit id as one hex digit (or a byte 00-0F), one
// byte for the others.
bool chipIdOption(const CardOptions& options, StType type, Bytes* out, std::string* why) {
    if (type != StType::sr176) return hexOption(options, "chipid", {1}, out, why);
    const auto found = options.find("chipid");
    if (found == options.end()) return true;
    const std::string& text = found->second;
    Bytes value;
    if (text.empty() || text.size() > 2 || !parseHex(text.size() == 1 ? "0" + text : text, &value) ||
        value.size() != 1 || value[0] > 0x0F) {
        if (why) *why = "chipid of an SR176 is one hex digit, 0 to F";
        return false;
    }
    *out = std::move(value);
    return true;
}

CardType chipType(StType type, const char* name, const char* description, std::size_t image_size) {
    CardType card;
    card.name = name;
    card.description = description;
    const bool sr176 = type == StType::sr176;
    card.options =
        std::string("uid=8 bytes of hex, most significant first, beginning D002 (default D002000000000001); ") +
        (sr176 ? "chipid=the 4-bit chip id kept in block 15 (default F); "
               : "chipid=one byte of hex answered to every initiate (default: a new random id each time); ") +
        "dump=raw image of " + std::to_string(image_size) + " bytes (blocks in order" +
        (sr176 ? ", the UID in blocks 0-3; default all FF, no lock bit set)" : "; default all FF)");
    card.make = [type, image_size](const CardOptions& options, std::string* why) -> CardPtr {
        Bytes uid;
        parseHex("D002000000000001", &uid);
        Bytes memory(image_size, 0xFF);
        Bytes chip_id;
        if (!onlyOptions(options, {"uid", "chipid", "dump"}, why) || !hexOption(options, "uid", {8}, &uid, why) ||
            !chipIdOption(options, type, &chip_id, why) || !loadImage(options, image_size, &memory, why)) {
            return nullptr;
        }
        // A new SR176 has no lock bit set; a new SRI512 or SRIX4K has
        // counter 5 at FFFFFFFE (stored least significant byte first).
        if (type == StType::sr176 && !options.count("dump")) memory[kSr176IdBlock * 2 + 1] = 0x00;
        if (type != StType::sr176 && !options.count("dump")) memory[kFirstCounter * 4] = 0xFE;
        Bytes wire = reversed(uid);
        // An SR176 dump carries its UID unless one is given.
        if (type == StType::sr176 && options.count("dump") && !options.count("uid"))
            wire.assign(memory.begin(), memory.begin() + 8);
        if (wire[7] != 0xD0 || wire[6] != 0x02) {
            if (why) *why = "uid of an ST chip begins D002";
            return nullptr;
        }
        std::array<std::uint8_t, 8> order{};
        std::copy(wire.begin(), wire.end(), order.begin());
        std::optional<std::uint8_t> fixed;
        if (!chip_id.empty()) fixed = chip_id[0];
        return std::make_shared<StChip>(type, order, std::move(memory), fixed);
    };
    return card;
}
}  // namespace

void registerStChips(CardCatalog& catalog) {
    catalog.registerType(chipType(StType::sr176, "sr176",
                         "ST SR176 (16 blocks of 2 bytes, 4-bit chip id, lock bit n protects blocks 2n and 2n+1)", 32));
    catalog.registerType(chipType(
        StType::sri512, "sri512",
        "ST SRI512 (16 blocks of 4 bytes, count-down counters in blocks 5-6, one lock bit per block, 0 = locked)", 64));
    catalog.registerType(chipType(StType::srix4k, "srix4k",
                         "ST SRIX4K (128 blocks of 4 bytes, count-down counters in blocks 5-6, authentication, lock "
                         "register: bit 0 blocks 7-15, bit n blocks 16n-16n+15, 0 = locked)",
                         512));
}

}  // namespace sim
