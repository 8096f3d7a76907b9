// The reader's FeliCa command: poll and report the card number.
#include "cards/felica.h"
#include "firmware/command_families.h"
#include "firmware/firmware.h"

namespace sim {

void registerFelicaCommands(Firmware& fw) {
    fw.registerHandler(kv::cmd::rf_felica_get_uid, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (!c.payload.empty()) return Reply::error(kBadLength);
        // Several cards: the first to answer the polling, in placement order.
        const std::vector<FelicaCard*> cards = r.reachable<FelicaCard>(kFamilyFelica);
        if (cards.empty()) return Reply::error(kNoCard);
        const auto& idm = cards.front()->idm();
        return Reply::ok(Bytes(idm.begin() + 2, idm.end()));  // the card number, without the manufacturer code
    });
}

}  // namespace sim
