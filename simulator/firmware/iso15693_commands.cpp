// The reader's ISO15693 commands. Each builds the air request from the
// flags byte, the UID and its own fields, sends it to every label in the
// field and turns the answer into a reply: no answer is "no card", several
// answers a collision, a label's error code a reader status.
#include "cards/iso15693_label.h"
#include "firmware/command_families.h"
#include "firmware/firmware.h"

namespace sim {
namespace {

using namespace iso15693;
using Labels = std::vector<Iso15693Label*>;

constexpr std::size_t kUidSize = 8;
constexpr std::size_t kHead = 1 + kUidSize;    // flags byte and UID
constexpr std::size_t kRecord = 1 + kUidSize;  // DSFID and UID of an inventory

Labels labels(const Reader& reader) { return reader.reachable<Iso15693Label>(kFamilyIso15693); }

std::uint8_t statusOf(std::uint8_t error) {
    switch (error) {
    case kErrorNotSupported:
    case kErrorNotRecognised:
    case 0x03:  // option not supported
        return kLabelNotSupported;
    case kErrorBlockUnavailable: return kLabelBlockRange;
    case kErrorAlreadyLocked: return kLabelAlreadyLocked;
    case kErrorLocked: return kLabelLocked;
    default: return kLabelError;
    }
}

// Every label hears the request; the answers as the reader receives them.
std::vector<Bytes> broadcast(const Labels& field, const Bytes& request) {
    std::vector<Bytes> answers;
    for (Iso15693Label* label : field) {
        if (std::optional<Bytes> answer = label->transceive(request)) answers.push_back(std::move(*answer));
    }
    return answers;
}

// The one answer of a request, without its response flags byte.
Reply answerOf(const std::vector<Bytes>& answers) {
    if (answers.empty()) return Reply::error(kNoCard);
    if (answers.size() > 1) return Reply::error(kCollision);
    const Bytes& answer = answers.front();
    if (answer.empty()) return Reply::error(kLabelError);
    if (answer[0] & kResponseError) return Reply::error(statusOf(answer.size() > 1 ? answer[1] : 0));
    return Reply::ok(Bytes(answer.begin() + 1, answer.end()));
}

// flags, the command (a custom one with its manufacturer code), the UID when
// the flags address a label, then the parameters.
Bytes airFrame(std::uint8_t flags, const Bytes& command, const std::uint8_t* uid, const Bytes& params) {
    Bytes request{flags};
    request.insert(request.end(), command.begin(), command.end());
    if (isAddressed(flags)) request.insert(request.end(), uid, uid + kUidSize);
    request.insert(request.end(), params.begin(), params.end());
    return request;
}

// The request of one of the reader's own commands.
Bytes airRequest(std::uint8_t flags, std::uint8_t command, const std::uint8_t* uid, const Bytes& params = {}) {
    const Bytes code = isCustom(command) ? Bytes{command, kManufacturerNxp} : Bytes{command};
    return airFrame(flags, code, uid, params);
}

// Anticollision with one-slot inventories: where labels collide, the mask
// grows by one nibble of the UID, taken from the least significant end, so
// the labels come out in the order of their UIDs' low nibbles.
void inventory(const Labels& field, std::uint64_t mask, unsigned mask_bits, std::vector<Bytes>* found,
               std::size_t limit) {
    if (found->size() >= limit) return;
    Bytes request{kFlagDataRate | kFlagInventory | kFlagOneSlot, kInventory, static_cast<std::uint8_t>(mask_bits)};
    for (unsigned byte = 0; byte < (mask_bits + 7) / 8; ++byte)
        request.push_back(static_cast<std::uint8_t>(mask >> (8 * byte)));
    const std::vector<Bytes> answers = broadcast(field, request);
    if (answers.size() == 1 || (answers.size() > 1 && mask_bits >= 64)) {
        found->push_back(Bytes(answers.front().begin() + 1, answers.front().end()));
        return;
    }
    if (answers.empty()) return;
    for (std::uint64_t nibble = 0; nibble < 16; ++nibble) {
        inventory(field, mask | nibble << mask_bits, mask_bits + 4, found, limit);
    }
}

// The head of a UID-addressed reader command: its length is checked against
// `params` more bytes; the flags and UID are passed on.
struct Addressed {
    std::uint8_t flags;
    const std::uint8_t* uid;
    const std::uint8_t* params;
};
std::optional<Addressed> head(const Command& c, std::size_t params) {
    if (c.payload.size() != kHead + params) return std::nullopt;
    return Addressed{c.payload[0], c.payload.data() + 1, c.payload.data() + kHead};
}

// A command whose reader payload is the head and `params` bytes passed on
// unchanged to the label's `air_command`.
void registerSimple(Firmware& fw, const kv::ReaderCommand& command, std::uint8_t air_command, std::size_t params) {
    fw.registerHandler(command, [air_command, params](Reader& r, const Command& c) -> std::optional<Reply> {
        const auto h = head(c, params);
        if (!h) return Reply::error(kBadLength);
        return answerOf(
            broadcast(labels(r), airRequest(h->flags, air_command, h->uid, Bytes(h->params, h->params + params))));
    });
}

// Block-range commands: the reader takes a count, the air protocol the count
// less one.
void registerRange(Firmware& fw, const kv::ReaderCommand& command, std::uint8_t air_command) {
    fw.registerHandler(command, [air_command](Reader& r, const Command& c) -> std::optional<Reply> {
        const auto h = head(c, 2);
        if (!h) return Reply::error(kBadLength);
        if (h->params[1] == 0) return Reply::error(kBadParameter);
        const Bytes params{h->params[0], static_cast<std::uint8_t>(h->params[1] - 1)};
        return answerOf(broadcast(labels(r), airRequest(h->flags, air_command, h->uid, params)));
    });
}

std::optional<Reply> inventoryOne(Reader& r, const Command& c) {
    // Code 0x70 with a payload, or outside ISO15693 mode, is a type A request.
    if (!c.payload.empty() || r.card_family != kFamilyIso15693) return std::nullopt;
    std::vector<Bytes> found;
    inventory(labels(r), 0, 0, &found, 1);
    if (found.empty()) return Reply::error(kNoCard);
    return Reply::ok(found.front());
}

std::optional<Reply> inventoryAll(Reader& r, const Command& c) {
    if (!c.payload.empty()) return Reply::error(kBadLength);
    std::vector<Bytes> found;
    inventory(labels(r), 0, 0, &found, kMaxReplyPayload / kRecord);
    if (found.empty()) return Reply::error(kNoCard);
    Bytes all;
    for (const Bytes& record : found) all.insert(all.end(), record.begin(), record.end());
    return Reply::ok(all);
}

// Stay quiet and select take the UID alone and are always addressed.
std::optional<Reply> stayQuiet(Reader& r, const Command& c) {
    if (c.payload.size() != kUidSize) return Reply::error(kBadLength);
    // The label never answers, so the reader reports the request as sent.
    broadcast(labels(r), airRequest(kFlagDataRate | kFlagAddress, kStayQuiet, c.payload.data()));
    return Reply::ok();
}

std::optional<Reply> select(Reader& r, const Command& c) {
    if (c.payload.size() != kUidSize) return Reply::error(kBadLength);
    return answerOf(broadcast(labels(r), airRequest(kFlagDataRate | kFlagAddress, kSelect, c.payload.data())));
}

std::optional<Reply> writeMultiple(Reader& r, const Command& c) {
    if (c.payload.size() < kHead + 2) return Reply::error(kBadLength);
    const std::size_t count = c.payload[kHead + 1];
    const auto h = head(c, 2 + count * Iso15693Label::kBlockSize);
    if (!h) return Reply::error(kBadLength);
    if (count == 0) return Reply::error(kBadParameter);
    Bytes params(h->params, h->params + 2 + count * Iso15693Label::kBlockSize);
    params[1] = static_cast<std::uint8_t>(count - 1);
    return answerOf(broadcast(labels(r), airRequest(h->flags, kWriteMultiple, h->uid, params)));
}

// Any command: data_len bytes of command code and parameters; the UID goes
// after the code (and the manufacturer code of custom commands) when the
// flags address a label. The label's whole answer comes back.
std::optional<Reply> rawCommand(Reader& r, const Command& c) {
    if (c.payload.size() < kHead + 1 || c.payload.size() != kHead + 1 + c.payload[kHead]) {
        return Reply::error(kBadLength);
    }
    const std::uint8_t flags = c.payload[0];
    const std::uint8_t* uid = c.payload.data() + 1;
    const Bytes data(c.payload.begin() + kHead + 1, c.payload.end());
    if (data.empty()) return Reply::ok();  // nothing to send
    const auto split = data.begin() + (isCustom(data[0]) && data.size() > 1 ? 2 : 1);
    const Bytes request = airFrame(flags, Bytes(data.begin(), split), uid, Bytes(split, data.end()));
    const std::vector<Bytes> answers = broadcast(labels(r), request);
    if (answers.empty()) return data[0] == kStayQuiet ? Reply::ok() : Reply::error(kNoCard);
    if (answers.size() > 1) return Reply::error(kCollision);
    return Reply::ok(answers.front());
}

}  // namespace

void registerIso15693Commands(Firmware& fw) {
    fw.registerHandler(kv::cmd::ISO15693_Inventory, inventoryOne);
    fw.registerHandler(kv::cmd::ISO15693_Inventorys, inventoryAll);
    fw.registerHandler(kv::cmd::ISO15693_Stay_Quiet, stayQuiet);
    fw.registerHandler(kv::cmd::ISO15693_Select, select);
    registerSimple(fw, kv::cmd::ISO15693_Reset_To_Ready, kResetToReady, 0);
    registerRange(fw, kv::cmd::ISO15693_Read, kReadMultiple);
    registerSimple(fw, kv::cmd::ISO15693_Write, kWriteSingle, 1 + Iso15693Label::kBlockSize);
    fw.registerHandler(kv::cmd::ISO15693_Write_Multi_Block, writeMultiple);
    registerSimple(fw, kv::cmd::ISO15693_Lock_Block, kLockBlock, 1);
    registerSimple(fw, kv::cmd::ISO15693_Write_AFI, kWriteAfi, 1);
    registerSimple(fw, kv::cmd::ISO15693_Lock_AFI, kLockAfi, 0);
    registerSimple(fw, kv::cmd::ISO15693_Write_DSFID, kWriteDsfid, 1);
    registerSimple(fw, kv::cmd::ISO15693_Lock_DSFID, kLockDsfid, 0);
    registerSimple(fw, kv::cmd::ISO15693_Get_System_Information, kSystemInformation, 0);
    registerRange(fw, kv::cmd::ISO15693_Get_Block_Security, kBlockSecurity);
    registerSimple(fw, kv::cmd::ISO15693_SET_EAS_ICODE, kSetEas, 0);
    registerSimple(fw, kv::cmd::ISO15693_RESET_EAS_ICODE, kResetEas, 0);
    registerSimple(fw, kv::cmd::ISO15693_LOCK_EAS_ICODE, kLockEas, 0);
    registerSimple(fw, kv::cmd::ISO15693_EAS_ALARM_ICODE, kEasAlarm, 0);
    fw.registerHandler(kv::cmd::ISO15693_Command, rawCommand);
}

}  // namespace sim
