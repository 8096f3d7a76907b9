// The reader's ST SR-series commands: it initiates and selects one chip,
// then every block command goes to the selected chip.
#include <algorithm>

#include "cards/st_chip.h"
#include "firmware/card_command.h"
#include "firmware/command_families.h"

namespace sim {
namespace {

using Chips = std::vector<StChip*>;

constexpr int kDrawRounds = 8;

Chips chips(const Reader& reader) { return reader.reachable<StChip>(kFamilySt); }

StChip* selected(const Reader& reader) {
    for (StChip* chip : chips(reader)) {
        if (chip->state() == StChip::State::selected) return chip;
    }
    return nullptr;
}

// Initiate, then select the chip that drew the lowest id. Chips that drew the
// same id are initiated again (as the reader's slot calls would separate
// them); chips with fixed equal ids cannot be told apart.
std::optional<Reply> selectChip(Reader& r, const Command& c) {
    if (!c.payload.empty()) return Reply::error(kBadLength);
    const Chips field = chips(r);
    std::vector<std::pair<std::uint8_t, StChip*>> answered;
    for (StChip* chip : field) {
        if (auto id = chip->initiate()) answered.emplace_back(*id, chip);
    }
    if (answered.empty()) return Reply::error(kNoCard);
    for (int round = 0;; ++round) {
        std::sort(answered.begin(), answered.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        if (answered.size() == 1 || answered[0].first != answered[1].first) break;
        if (round == kDrawRounds) return Reply::error(kCollision);
        for (auto& entry : answered) entry.first = *entry.second->initiate();
    }
    const std::uint8_t id = answered.front().first;
    StChip* winner = answered.front().second;
    winner->select(id);
    // A chip selected before hears the select of another id and steps back.
    for (StChip* chip : field) {
        if (chip != winner && chip->chipId() != id) chip->select(id);
    }
    return Reply::ok(Bytes{id});
}

// A command for the selected chip with a payload of exactly `size` bytes.
template <typename Op>
Handler onSelected(std::size_t size, Op op) {
    return cardCommand(size, selected, kChipNotSelected, op);
}

// Codes 0x63-0x65 are type A commands outside ST mode or at other lengths.
Handler shared(std::size_t size, Handler handler) {
    return [size, handler](Reader& r, const Command& c) -> std::optional<Reply> {
        if (r.card_family != kFamilySt || c.payload.size() != size) return std::nullopt;
        return handler(r, c);
    };
}

// Block commands of the SR176 and of the SRIX chips: each kind of chip
// refuses the other's.
Handler readBlock(bool sr176) {
    return onSelected(1, [sr176](StChip& chip, const std::uint8_t* p, Bytes* out) -> std::uint8_t {
        if ((chip.type() == StType::sr176) != sr176) return kWrongCardType;
        return chip.read(p[0], out);
    });
}

Handler writeBlock(bool sr176) {
    return onSelected(sr176 ? 3 : 5, [sr176](StChip& chip, const std::uint8_t* p, Bytes*) -> std::uint8_t {
        if ((chip.type() == StType::sr176) != sr176) return kWrongCardType;
        return chip.write(p[0], p + 1);
    });
}

}  // namespace

void registerStCommands(Firmware& fw) {
    fw.registerHandler(kv::cmd::rf_st_select, selectChip);
    fw.registerHandler(kv::cmd::rf_st_completion,
                       onSelected(0, [](StChip& chip, const std::uint8_t*, Bytes*) -> std::uint8_t {
                           chip.complete();
                           return kOk;
                       }));
    fw.registerHandler(kv::cmd::rf_sr176_readblock, readBlock(true));
    fw.registerHandler(kv::cmd::rf_sr176_writeblock, shared(3, writeBlock(true)));
    fw.registerHandler(
        kv::cmd::rf_sr176_protectblock,
        shared(1, onSelected(1, [](StChip& chip, const std::uint8_t* p, Bytes*) { return chip.protectSr176(p[0]); })));
    fw.registerHandler(kv::cmd::rf_srix4k_readblock, shared(1, readBlock(false)));
    fw.registerHandler(kv::cmd::rf_srix4k_writeblock, writeBlock(false));
    fw.registerHandler(
        kv::cmd::rf_srix4k_authenticate,
        onSelected(6, [](StChip& chip, const std::uint8_t* p, Bytes* out) { return chip.authenticate(p, out); }));
    fw.registerHandler(kv::cmd::rf_srix4k_getuid,
                       onSelected(0, [](StChip& chip, const std::uint8_t*, Bytes* out) { return chip.getUid(out); }));
    fw.registerHandler(kv::cmd::rf_srix4k_writelockreg, onSelected(1, [](StChip& chip, const std::uint8_t* p, Bytes*) {
                           return chip.writeLockRegister(p[0]);
                       }));
    fw.registerHandler(kv::cmd::rf_sri512_writelockreg, onSelected(2, [](StChip& chip, const std::uint8_t* p, Bytes*) {
               return chip.writeLockField(static_cast<std::uint16_t>(p[0] | p[1] << 8));
           }));
}

}  // namespace sim
