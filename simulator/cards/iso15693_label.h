// ISO15693 vicinity labels: block memory with per-block locks, AFI and
// DSFID, and the ready / selected / quiet state machine. The label answers
// request frames exactly as they travel on air (flags, command, manufacturer
// code of custom commands, UID when addressed, parameters); the reader
// firmware builds those frames from its own commands.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "cards/card.h"
#include "cards/toolkit.h"

namespace sim {

namespace iso15693 {
// Request flags.
constexpr std::uint8_t kFlagDataRate = 0x02;
constexpr std::uint8_t kFlagInventory = 0x04;
constexpr std::uint8_t kFlagSelect = 0x10;   // without the inventory flag
constexpr std::uint8_t kFlagAddress = 0x20;  // without the inventory flag
constexpr std::uint8_t kFlagAfi = 0x10;      // with the inventory flag
constexpr std::uint8_t kFlagOneSlot = 0x20;  // with the inventory flag
constexpr std::uint8_t kFlagOption = 0x40;
// Response flags.
constexpr std::uint8_t kResponseError = 0x01;
// Error codes of a response.
constexpr std::uint8_t kErrorNotSupported = 0x01;
constexpr std::uint8_t kErrorNotRecognised = 0x02;
constexpr std::uint8_t kErrorBlockUnavailable = 0x10;
constexpr std::uint8_t kErrorAlreadyLocked = 0x11;
constexpr std::uint8_t kErrorLocked = 0x12;
// Commands.
constexpr std::uint8_t kInventory = 0x01;
constexpr std::uint8_t kStayQuiet = 0x02;
constexpr std::uint8_t kReadSingle = 0x20;
constexpr std::uint8_t kWriteSingle = 0x21;
constexpr std::uint8_t kLockBlock = 0x22;
constexpr std::uint8_t kReadMultiple = 0x23;
constexpr std::uint8_t kWriteMultiple = 0x24;
constexpr std::uint8_t kSelect = 0x25;
constexpr std::uint8_t kResetToReady = 0x26;
constexpr std::uint8_t kWriteAfi = 0x27;
constexpr std::uint8_t kLockAfi = 0x28;
constexpr std::uint8_t kWriteDsfid = 0x29;
constexpr std::uint8_t kLockDsfid = 0x2A;
constexpr std::uint8_t kSystemInformation = 0x2B;
constexpr std::uint8_t kBlockSecurity = 0x2C;
constexpr std::uint8_t kSetEas = 0xA2;  // NXP custom commands
constexpr std::uint8_t kResetEas = 0xA3;
constexpr std::uint8_t kLockEas = 0xA4;
constexpr std::uint8_t kEasAlarm = 0xA5;

constexpr std::uint8_t kManufacturerNxp = 0x04;
constexpr std::uint8_t kManufacturerTi = 0x07;

// Custom and proprietary commands carry the manufacturer code after the
// command code.
inline bool isCustom(std::uint8_t command) { return command >= 0xA0 && command <= 0xDF; }
// Whether a request with these flags carries a UID.
inline bool isAddressed(std::uint8_t flags) { return !(flags & kFlagInventory) && (flags & kFlagAddress); }
}  // namespace iso15693

// What tells one label type from another.
struct LabelModel {
    const char* kind;  // catalogue name
    const char* description;
    std::uint8_t manufacturer;
    std::size_t blocks;  // of 4 bytes
    std::uint8_t ic_reference;
    bool eas;  // NXP electronic article surveillance
    // A block security request reaching past the last block answers for
    // the blocks up to the end instead of failing.
    bool short_security_list;
};

extern const LabelModel kIcodeSli;
extern const LabelModel kTagItPlus;

class Iso15693Label : public Card {
public:
    enum class State { ready, selected, quiet };
    static constexpr std::size_t kBlockSize = 4;
    // Bits of a block security status byte.
    static constexpr std::uint8_t kUserLock = 0x01;
    static constexpr std::uint8_t kFactoryLock = 0x02;

    // `uid` least significant byte first (top byte 0xE0, then the
    // manufacturer code); `memory` holds blocks x 4 bytes.
    Iso15693Label(const LabelModel& model, std::array<std::uint8_t, 8> uid, Bytes memory);

    std::string kind() const override { return model_.kind; }
    std::string describe() const override;
    void powerDown() override { state_ = State::ready; }
    bool saveDump(const std::string& path, std::string* why) const override;

    const LabelModel& model() const { return model_; }
    const std::array<std::uint8_t, 8>& uid() const { return uid_; }
    State state() const { return state_; }
    const Bytes& memory() const { return memory_; }
    std::uint8_t security(std::size_t block) const { return security_.at(block); }
    std::uint8_t dsfid() const { return dsfid_; }
    std::uint8_t afi() const { return afi_; }
    bool eas() const { return eas_; }
    void setDsfid(std::uint8_t value) { dsfid_ = value; }
    void setAfi(std::uint8_t value) { afi_ = value; }

    // One request frame as it comes on air; the response (flags byte
    // first), or nothing when the label keeps silent.
    std::optional<Bytes> transceive(const Bytes& request);

    // The fixed 32-byte sequence the label sends to an EAS alarm.
    static const std::array<std::uint8_t, 32> kEasSequence;

private:
    struct Request;
    std::optional<Bytes> inventory(const Request& request) const;
    bool afiMatches(std::uint8_t requested) const;
    Bytes blockSecurity(std::size_t first, std::size_t count) const;
    std::optional<Bytes> execute(const Request& request);
    std::optional<Bytes> custom(const Request& request);
    Bytes readBlocks(std::size_t first, std::size_t count, bool with_security) const;
    Bytes writeBlocks(std::size_t first, std::size_t count, const std::uint8_t* data);
    Bytes lockBlock(std::size_t block);
    Bytes systemInformation() const;
    bool inRange(std::size_t first, std::size_t count) const { return first + count <= model_.blocks; }

    const LabelModel& model_;
    std::array<std::uint8_t, 8> uid_;
    Bytes memory_;
    Bytes security_;
    std::uint8_t dsfid_ = 0;
    std::uint8_t afi_ = 0;
    bool dsfid_locked_ = false;
    bool afi_locked_ = false;
    bool eas_ = false;
    bool eas_locked_ = false;
    State state_ = State::ready;
};

}  // namespace sim

namespace sim {
class CardCatalog;
// Catalogue entries "icode" and "tagit".
}  // namespace sim
