// The reader's own commands: address, identity, beeper, lamp, antenna, card
// family, display and flash memory.
#include <cstdio>

#include "firmware/command_families.h"
#include "firmware/firmware.h"

namespace sim {
namespace {

// Flash addresses: first word is the bank (only bank 0 exists), second word
// the byte address within the 64 KiB bank.
bool flashAddress(const Bytes& p, std::size_t* address) {
    const unsigned bank = p[0] << 8 | p[1];
    if (bank != 0) return false;
    *address = static_cast<std::size_t>(p[2] << 8 | p[3]);
    return true;
}

std::optional<Reply> needLength(const Command& c, std::size_t n) {
    if (c.payload.size() != n) return Reply::error(kBadLength);
    return std::nullopt;
}

const char* familyName(std::uint8_t letter) {
    switch (letter) {
    case kFamilyTypeA: return "ISO14443A";
    case kFamilyTypeB: return "ISO14443B";
    case kFamilyFelica: return "FeliCa";
    case kFamilyIso15693: return "ISO15693";
    case kFamilySt: return "ST SR";
    case kFamilyAt88: return "AT88RF020";
    default: return nullptr;
    }
}

}  // namespace

void registerReaderControl(Firmware& fw) {
    fw.registerHandler(kv::cmd::rf_init_device_number, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (auto bad = needLength(c, 2)) return bad;
        r.address = static_cast<std::uint16_t>(c.payload[0] | c.payload[1] << 8);
        return Reply::ok();
    });
    fw.registerHandler(kv::cmd::rf_get_device_number, [](Reader& r, const Command&) -> std::optional<Reply> {
        Reply reply = Reply::ok();
        reply.address = r.address;
        return reply;
    });
    fw.registerHandler(kv::cmd::rf_get_model, [](Reader& r, const Command&) -> std::optional<Reply> {
        return Reply::ok(Bytes(r.model.begin(), r.model.end()));
    });
    fw.registerHandler(kv::cmd::rf_get_snr, [](Reader& r, const Command&) -> std::optional<Reply> {
        return Reply::ok(r.serial);
    });
    fw.registerHandler(kv::cmd::rf_beep, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (auto bad = needLength(c, 1)) return bad;
        r.note("beep " + std::to_string(c.payload[0] * 10) + " ms");
        return Reply::ok();
    });
    fw.registerHandler(kv::cmd::rf_init_type, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (auto bad = needLength(c, 1)) return bad;
        const char* name = familyName(c.payload[0]);
        if (name == nullptr) return Reply::error(kBadParameter);
        if (r.card_family != c.payload[0]) r.field.powerDown();  // the reader changes its RF mode
        r.card_family = c.payload[0];
        r.note(std::string("card family ") + name);
        return Reply::ok();
    });
    // Code 0x05 carries either the antenna switch (one byte) or the reader's
    // waiting-time parameters (any other length).
    fw.registerHandler(kv::cmd::rf_antenna_sta, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (c.payload.size() != 1) return std::nullopt;
        if (c.payload[0] > 1) return Reply::error(kBadParameter);
        r.setAntenna(c.payload[0] == 1);
        r.note(c.payload[0] ? "antenna on" : "antenna off");
        return Reply::ok();
    });
    fw.registerHandler(kv::cmd::rf_change_wait_time, [](Reader& r, const Command& c) -> std::optional<Reply> {
        r.wait_time = c.payload;
        r.note("wait time " + hex(c.payload));
        return Reply::ok();
    });
    fw.registerHandler(kv::cmd::rf_light, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (auto bad = needLength(c, 1)) return bad;
        r.note("lamp " + std::to_string(c.payload[0]));
        return Reply::ok();
    });
    // Code 0x1F with five bytes drives the display; other lengths belong to
    // card commands sharing the code.
    fw.registerHandler(kv::cmd::rf_display, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (c.payload.size() != 5) return std::nullopt;
        r.note("display " + hex(c.payload));
        return Reply::ok();
    });
    fw.registerHandler(kv::cmd::rf_flash_write, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (c.payload.size() < 5) return Reply::error(kBadLength);
        std::size_t address = 0;
        if (!flashAddress(c.payload, &address)) return Reply::error(kFlashRange);
        // The length byte may claim more than travelled; what travelled is written.
        const std::size_t claimed = c.payload[4];
        const std::size_t present = c.payload.size() - 5;
        const Bytes data(c.payload.begin() + 5, c.payload.begin() + 5 + static_cast<std::ptrdiff_t>(std::min(claimed, present)));
        switch (r.flash.write(address, data)) {
        case Flash::WriteResult::saved:
            return Reply::ok();
        case Flash::WriteResult::out_of_range:
            return Reply::error(kFlashRange);
        case Flash::WriteResult::not_saved:
            r.note("flash not saved: " + r.flash.lastError());
            return Reply::error(kFlashNotSaved);
        }
        return Reply::error(kFlashNotSaved);
    });
    fw.registerHandler(kv::cmd::rf_flash_read, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (auto bad = needLength(c, 5)) return bad;
        if (c.payload[4] > kMaxReplyPayload) return Reply::error(kBadParameter);
        std::size_t address = 0;
        Bytes data;
        if (!flashAddress(c.payload, &address) || !r.flash.read(address, c.payload[4], &data)) {
            return Reply::error(kFlashRange);
        }
        return Reply::ok(std::move(data));
    });
}

}  // namespace sim
