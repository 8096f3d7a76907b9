// The SAM slots and the large contact slot. SAM numbers 0-5 address slots
// 1-6, number 6 the contact slot; the commands without a number address
// slot 1. None of this depends on the antenna.
#include <array>

#include "firmware/command_families.h"
#include "firmware/processor_cards.h"

namespace sim {
namespace {

constexpr std::uint8_t kMaxRate = 2;  // 0 = 9600, 1 = 38400, 2 = 115200 baud
constexpr std::uint8_t kPps1Present = 0x10;
const char* const kRateNames[] = {"9600", "38400", "115200"};

// The rate chosen for each slot, by SAM number.
struct SamSlots {
    std::array<std::uint8_t, kContactSlotNumber + 1> rate{};
};

ContactCard* contactCard(Reader& r) {
    const std::vector<ContactCard*> cards = r.field.all<ContactCard>();
    return cards.empty() ? nullptr : cards.front();
}

// Resets the module of SAM number `number` and answers its ATR.
Reply resetModule(Reader& r, unsigned number, std::uint8_t rate) {
    if (number > kContactSlotNumber) return Reply::error(kBadParameter);
    ContactModule* module = moduleFor(r, number);
    if (module == nullptr) return Reply::error(kSlotEmpty);
    if (number == kContactSlotNumber && !contactCard(r)->powered()) return Reply::error(kNotPowered);
    r.state<SamSlots>().rate[number] = rate;
    r.note("SAM " + std::to_string(number) + " reset at " + kRateNames[rate] + " baud");
    return Reply::ok(module->reset());
}

Reply moduleApdu(Reader& r, unsigned number, const Bytes& apdu) {
    ContactModule* module = moduleFor(r, number);
    if (module == nullptr) return Reply::error(kSlotEmpty);
    if (!module->active()) return Reply::error(kNotActivated);
    return answerReply(module->apdu(apdu));
}

}  // namespace

ContactModule* moduleFor(Reader& r, unsigned number) {
    if (number == kContactSlotNumber) return contactCard(r);
    for (SamCard* sam : r.field.all<SamCard>()) {
        if (static_cast<unsigned>(sam->slot()) == number + 1) return sam;
    }
    return nullptr;
}

void registerSamCommands(Firmware& fw) {
    fw.registerHandler(kv::cmd::rf_init_sam, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (auto bad = needLength(c, 1)) return bad;
        if (c.payload[0] > kMaxRate) return Reply::error(kBadParameter);
        r.state<SamSlots>().rate[0] = c.payload[0];
        return Reply::ok();
    });
    fw.registerHandler(kv::cmd::rf_sam_rst, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (auto bad = needLength(c, 0)) return bad;
        return resetModule(r, 0, r.state<SamSlots>().rate[0]);
    });
    fw.registerHandler(kv::cmd::rf_sam_cos, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (c.payload.empty()) return Reply::error(kBadLength);
        return moduleApdu(r, 0, c.payload);
    });
    // One byte: bits 0-3 rate, bits 4-7 SAM number. Three bytes: that byte
    // (its rate bits unused), then PPS0 (bit 5: PPS1 follows) and PPS1
    // (Fi/Di), which the module must accept.
    fw.registerHandler(kv::cmd::rf_sam_rst_2, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (c.payload.size() != 1 && c.payload.size() != 3) return Reply::error(kBadLength);
        const unsigned number = c.payload[0] >> 4;
        if (c.payload.size() == 1) {
            if ((c.payload[0] & 0x0F) > kMaxRate) return Reply::error(kBadParameter);
            return resetModule(r, number, c.payload[0] & 0x0F);
        }
        if (!(c.payload[1] & kPps1Present)) return Reply::error(kBadParameter);
        Reply reply = resetModule(r, number, r.state<SamSlots>().rate[std::min(number, kContactSlotNumber)]);
        if (reply.status != kOk) return reply;
        ContactModule* module = moduleFor(r, number);
        if (!module->acceptsPps(c.payload[2])) {
            module->deactivate();
            return Reply::error(kProtocol);
        }
        r.note("SAM " + std::to_string(number) + " PPS " + hex(Bytes(c.payload.begin() + 1, c.payload.end())));
        return reply;
    });
    fw.registerHandler(kv::cmd::rf_sam_cos_2, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (c.payload.size() < 2) return Reply::error(kBadLength);
        return moduleApdu(r, c.payload[0], Bytes(c.payload.begin() + 1, c.payload.end()));
    });
    fw.registerHandler(kv::cmd::rf_ContactCpuCard_Power_OnOff, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (auto bad = needLength(c, 1)) return bad;
        if (c.payload[0] > 1) return Reply::error(kBadParameter);
        ContactCard* card = contactCard(r);
        if (card == nullptr) return c.payload[0] ? Reply::error(kSlotEmpty) : Reply::ok();
        card->setPower(c.payload[0] == 1);
        r.note(c.payload[0] ? "contact slot power on" : "contact slot power off");
        return Reply::ok();
    });
    fw.registerHandler(kv::cmd::rf_ContactCpuCard_VGShort_Check,
                       [](Reader& r, const Command& c) -> std::optional<Reply> {
                           if (auto bad = needLength(c, 0)) return bad;
                           ContactCard* card = contactCard(r);
                           return Reply::ok({static_cast<std::uint8_t>(card != nullptr && card->shorted() ? 1 : 0)});
                       });
    fw.registerHandler(kv::cmd::rf_ContactCpuCard_In_Check, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (auto bad = needLength(c, 0)) return bad;
        return Reply::ok({static_cast<std::uint8_t>(contactCard(r) != nullptr ? 1 : 0)});
    });
}

}  // namespace sim
