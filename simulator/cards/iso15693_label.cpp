#include "cards/iso15693_label.h"

#include <algorithm>

#include "cards/card_options.h"
#include "cards/catalog.h"
#include "cards/card_types.h"

namespace sim {

using namespace iso15693;

const LabelModel kIcodeSli{
    "icode", "NXP I-CODE SLI label (ISO15693, 28 blocks of 4 bytes, EAS)", kManufacturerNxp, 28, 0x01, true, true};
const LabelModel kTagItPlus{
    "tagit", "TI Tag-it HF-I Plus label (ISO15693, 64 blocks of 4 bytes)", kManufacturerTi, 64, 0x00, false, false};

// The simulator's EAS answer: a fixed pattern, the same for every label.
const std::array<std::uint8_t, 32> Iso15693Label::kEasSequence = {
    0x5A, 0xA5, 0x3C, 0xC3, 0x0F, 0xF0, 0x96, 0x69, 0x5A, 0xA5, 0x3C, 0xC3, 0x0F, 0xF0, 0x96, 0x69,
    0xA5, 0x5A, 0xC3, 0x3C, 0xF0, 0x0F, 0x69, 0x96, 0xA5, 0x5A, 0xC3, 0x3C, 0xF0, 0x0F, 0x69, 0x96};

namespace {
Bytes success(Bytes data = {}) {
    data.insert(data.begin(), 0x00);
    return data;
}
Bytes failure(std::uint8_t code) { return Bytes{kResponseError, code}; }
}  // namespace

struct Iso15693Label::Request {
    std::uint8_t flags = 0;
    std::uint8_t command = 0;
    const std::uint8_t* params = nullptr;  // what follows the UID (or the command)
    std::size_t size = 0;
    bool addressed = false;
};

Iso15693Label::Iso15693Label(const LabelModel& model, std::array<std::uint8_t, 8> uid, Bytes memory)
    : model_(model), uid_(uid), memory_(std::move(memory)), security_(model.blocks, 0) {
    memory_.resize(model_.blocks * kBlockSize, 0x00);
}

std::string Iso15693Label::describe() const {
    static const char* const kStates[] = {"ready", "selected", "quiet"};
    return std::string(model_.kind) + " " + hex(reversed(Bytes(uid_.begin(), uid_.end()))) + ", " +
           kStates[static_cast<int>(state_)];
}

bool Iso15693Label::saveDump(const std::string& path, std::string* why) const { return saveImage(path, memory_, why); }

std::optional<Bytes> Iso15693Label::transceive(const Bytes& frame) {
    if (frame.size() < 2) return std::nullopt;
    Request request;
    request.flags = frame[0];
    request.command = frame[1];
    std::size_t position = 2;
    if (isCustom(request.command)) {
        // Custom commands of another manufacturer are not for this label.
        if (frame.size() < 3 || frame[2] != model_.manufacturer) return std::nullopt;
        position = 3;
    }
    if (isAddressed(request.flags)) {
        if (frame.size() < position + uid_.size()) return std::nullopt;
        const bool mine = std::equal(uid_.begin(), uid_.end(), frame.begin() + static_cast<std::ptrdiff_t>(position));
        position += uid_.size();
        if (!mine) {
            // Selecting another label ends this one's selection.
            if (request.command == kSelect && state_ == State::selected) state_ = State::ready;
            return std::nullopt;
        }
        request.addressed = true;
    } else if (!(request.flags & kFlagInventory) && (request.flags & kFlagSelect)) {
        if (state_ != State::selected) return std::nullopt;
    } else if (state_ == State::quiet) {
        return std::nullopt;  // quiet labels hear only addressed requests
    }
    request.params = frame.data() + position;
    request.size = frame.size() - position;
    if (request.command == kInventory) {
        return (request.flags & kFlagInventory) ? inventory(request) : failure(kErrorNotRecognised);
    }
    // Other commands with the inventory flag are taken as unaddressed (the
    // Tag-it pages of the test program send their writes so).
    return isCustom(request.command) ? custom(request) : execute(request);
}

std::optional<Bytes> Iso15693Label::inventory(const Request& request) const {
    const std::uint8_t* p = request.params;
    std::size_t left = request.size;
    if (request.flags & kFlagAfi) {
        if (left < 1) return std::nullopt;
        if (!afiMatches(p[0])) return std::nullopt;
        ++p;
        --left;
    }
    if (left < 1 || p[0] > 64) return std::nullopt;
    const unsigned mask_bits = p[0];
    if (left < 1 + (mask_bits + 7) / 8) return std::nullopt;
    // The mask is compared with the UID's low bits, least significant first.
    for (unsigned bit = 0; bit < mask_bits; ++bit) {
        const bool want = (p[1 + bit / 8] >> (bit % 8)) & 1;
        const bool have = (uid_[bit / 8] >> (bit % 8)) & 1;
        if (want != have) return std::nullopt;
    }
    Bytes answer{dsfid_};
    answer.insert(answer.end(), uid_.begin(), uid_.end());
    return success(std::move(answer));
}

// The AFI of a request: 00 every label, X0 every sub-family of family X,
// 0Y sub-family Y of every family, XY exactly that.
bool Iso15693Label::afiMatches(std::uint8_t requested) const {
    const unsigned family = requested >> 4, sub_family = requested & 0x0F;
    if (family != 0 && family != static_cast<unsigned>(afi_ >> 4)) return false;
    return sub_family == 0 || sub_family == (afi_ & 0x0Fu);
}

std::optional<Bytes> Iso15693Label::execute(const Request& request) {
    const std::uint8_t* p = request.params;
    const std::size_t n = request.size;
    const bool option = request.flags & kFlagOption;
    switch (request.command) {
    case kStayQuiet:
        // Never answered; only an addressed request reaches this far.
        if (request.addressed) state_ = State::quiet;
        return std::nullopt;
    case kSelect:
        if (!request.addressed) return failure(kErrorNotRecognised);
        state_ = State::selected;
        return success();
    case kResetToReady: state_ = State::ready; return success();
    case kReadSingle:
        if (n < 1) break;
        return readBlocks(p[0], 1, option);
    case kReadMultiple:
        if (n < 2) break;
        return readBlocks(p[0], std::size_t{p[1]} + 1, option);
    case kWriteSingle:
        if (n < 1 + kBlockSize) break;
        return writeBlocks(p[0], 1, p + 1);
    case kWriteMultiple: {
        if (n < 2) break;
        const std::size_t count = std::size_t{p[1]} + 1;
        if (n < 2 + count * kBlockSize) break;
        return writeBlocks(p[0], count, p + 2);
    }
    case kLockBlock:
        if (n < 1) break;
        return lockBlock(p[0]);
    case kWriteAfi:
    case kWriteDsfid: {
        if (n < 1) break;
        const bool afi = request.command == kWriteAfi;
        if (afi ? afi_locked_ : dsfid_locked_) return failure(kErrorLocked);
        (afi ? afi_ : dsfid_) = p[0];
        return success();
    }
    case kLockAfi:
    case kLockDsfid: {
        bool& locked = request.command == kLockAfi ? afi_locked_ : dsfid_locked_;
        if (locked) return failure(kErrorAlreadyLocked);
        locked = true;
        return success();
    }
    case kSystemInformation: return systemInformation();
    case kBlockSecurity:
        if (n < 2) break;
        return blockSecurity(p[0], std::size_t{p[1]} + 1);
    default: return failure(kErrorNotSupported);
    }
    return failure(kErrorNotRecognised);  // parameters missing
}

std::optional<Bytes> Iso15693Label::custom(const Request& request) {
    if (!model_.eas) return failure(kErrorNotSupported);
    switch (request.command) {
    case kSetEas:
    case kResetEas:
        if (eas_locked_) return failure(kErrorLocked);
        eas_ = request.command == kSetEas;
        return success();
    case kLockEas:
        if (eas_locked_) return failure(kErrorAlreadyLocked);
        eas_locked_ = true;
        return success();
    case kEasAlarm:
        // A label whose EAS bit is reset keeps silent.
        if (!eas_) return std::nullopt;
        return success(Bytes(kEasSequence.begin(), kEasSequence.end()));
    default: return failure(kErrorNotSupported);
    }
}

Bytes Iso15693Label::readBlocks(std::size_t first, std::size_t count, bool with_security) const {
    if (!inRange(first, count)) return failure(kErrorBlockUnavailable);
    Bytes data;
    for (std::size_t block = first; block < first + count; ++block) {
        if (with_security) data.push_back(security_[block]);
        const auto start = memory_.begin() + static_cast<std::ptrdiff_t>(block * kBlockSize);
        data.insert(data.end(), start, start + kBlockSize);
    }
    return success(std::move(data));
}

// The I-CODE SLI answers a request that runs past its last block with the
// status of the blocks up to the end.
Bytes Iso15693Label::blockSecurity(std::size_t first, std::size_t count) const {
    if (model_.short_security_list && first < model_.blocks) count = std::min(count, model_.blocks - first);
    if (!inRange(first, count)) return failure(kErrorBlockUnavailable);
    return success(Bytes(security_.begin() + static_cast<std::ptrdiff_t>(first),
                         security_.begin() + static_cast<std::ptrdiff_t>(first + count)));
}

Bytes Iso15693Label::writeBlocks(std::size_t first, std::size_t count, const std::uint8_t* data) {
    if (!inRange(first, count)) return failure(kErrorBlockUnavailable);
    // Nothing is written when any block of the range is locked.
    for (std::size_t block = first; block < first + count; ++block) {
        if (security_[block] != 0) return failure(kErrorLocked);
    }
    std::copy(data, data + count * kBlockSize, memory_.begin() + static_cast<std::ptrdiff_t>(first * kBlockSize));
    return success();
}

Bytes Iso15693Label::lockBlock(std::size_t block) {
    if (!inRange(block, 1)) return failure(kErrorBlockUnavailable);
    if (security_[block] & kUserLock) return failure(kErrorAlreadyLocked);
    security_[block] |= kUserLock;
    return success();
}

Bytes Iso15693Label::systemInformation() const {
    constexpr std::uint8_t kAllPresent = 0x0F;  // DSFID, AFI, memory size, IC reference
    Bytes info{kAllPresent};
    info.insert(info.end(), uid_.begin(), uid_.end());
    info.push_back(dsfid_);
    info.push_back(afi_);
    info.push_back(static_cast<std::uint8_t>(model_.blocks - 1));
    info.push_back(static_cast<std::uint8_t>(kBlockSize - 1));
    info.push_back(model_.ic_reference);
    return success(std::move(info));
}

}  // namespace sim

namespace sim {
namespace {
CardType labelType(const LabelModel& model, const char* default_uid) {
    CardType type;
    type.name = model.kind;
    type.description = model.description;
    type.options = std::string("uid=8 bytes of hex, most significant first (E0, manufacturer code ") +
                   hex(&model.manufacturer, 1) + ", serial; default " + default_uid + "); dump=raw image of " +
                   std::to_string(model.blocks * Iso15693Label::kBlockSize) +
                   " bytes (blocks in order; default all zero); dsfid=, afi= one byte of hex each";
    type.make = [&model, default_uid](const CardOptions& options, std::string* why) -> CardPtr {
        Bytes uid;
        parseHex(default_uid, &uid);
        Bytes memory(model.blocks * Iso15693Label::kBlockSize, 0x00);
        Bytes dsfid{0x00}, afi{0x00};
        if (!onlyOptions(options, {"uid", "dump", "dsfid", "afi"}, why) || !hexOption(options, "uid", {8}, &uid, why) ||
            !loadImage(options, memory.size(), &memory, why) || !hexOption(options, "dsfid", {1}, &dsfid, why) ||
            !hexOption(options, "afi", {1}, &afi, why)) {
            return nullptr;
        }
        if (uid[0] != 0xE0 || uid[1] != model.manufacturer) {
            if (why) *why = std::string("uid of a ") + model.kind + " label begins E0 " + hex(&model.manufacturer, 1);
            return nullptr;
        }
        const Bytes wire = reversed(uid);
        std::array<std::uint8_t, 8> order{};
        std::copy(wire.begin(), wire.end(), order.begin());
        auto label = std::make_shared<Iso15693Label>(model, order, std::move(memory));
        label->setDsfid(dsfid[0]);
        label->setAfi(afi[0]);
        return label;
    };
    return type;
}
}  // namespace

void registerIso15693Labels(CardCatalog& catalog) {
    catalog.registerType(labelType(kIcodeSli, "E004010000000001"));
    catalog.registerType(labelType(kTagItPlus, "E007000000000001"));
}

}  // namespace sim
