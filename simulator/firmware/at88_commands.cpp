// The reader's AT88RF020 commands. They go to the card that answered the
// last request (rf_atqb) and has not been deselected since.
#include "cards/at88rf020.h"
#include "firmware/card_command.h"
#include "firmware/command_families.h"

namespace sim {
namespace {

// The first awake card in placement order.
At88rf020* awakeCard(const Reader& reader) {
    for (At88rf020* card : reader.reachable<At88rf020>(kFamilyAt88)) {
        if (card->awake()) return card;
    }
    return nullptr;
}

// A command for the awake card with a payload of exactly `size` bytes.
template <typename Op>
Handler onCard(std::size_t size, Op op) {
    return cardCommand(size, awakeCard, kNoCard, op);
}

}  // namespace

void registerAt88Commands(Firmware& fw) {
    fw.registerHandler(kv::cmd::rf_at020_check,
                       onCard(8, [](At88rf020& card, const std::uint8_t* p, Bytes*) { return card.check(p); }));
    fw.registerHandler(kv::cmd::rf_at020_read, onCard(1, [](At88rf020& card, const std::uint8_t* p, Bytes* out) {
                           return card.read(p[0], out);
                       }));
    fw.registerHandler(kv::cmd::rf_at020_write, onCard(9, [](At88rf020& card, const std::uint8_t* p, Bytes*) {
                           return card.write(p[0], p + 1);
                       }));
    fw.registerHandler(kv::cmd::rf_at020_lock,
                       onCard(4, [](At88rf020& card, const std::uint8_t* p, Bytes*) { return card.lock(p); }));
    fw.registerHandler(kv::cmd::rf_at020_count,
                       onCard(6, [](At88rf020& card, const std::uint8_t* p, Bytes*) { return card.count(p); }));
    fw.registerHandler(kv::cmd::rf_at020_deselect,
                       onCard(0, [](At88rf020& card, const std::uint8_t*, Bytes*) -> std::uint8_t {
                           card.deselect();
                           return kOk;
                       }));
}

}  // namespace sim
