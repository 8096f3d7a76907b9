#include "cards/felica.h"

#include "cards/card_options.h"
#include "cards/catalog.h"
#include "cards/card_types.h"

namespace sim {

std::string FelicaCard::describe() const { return "felica IDm " + hex(idm_.data(), idm_.size()); }

void registerFelicaCards(CardCatalog& catalog) {
    CardType type;
    type.name = "felica";
    type.description = "FeliCa card (identifier only)";
    type.options = "uid=IDm, 8 bytes of hex: manufacturer code and 6-byte card number (default 012E4CD1E4A8B1C2)";
    type.make = [](const CardOptions& options, std::string* why) -> CardPtr {
        Bytes idm{0x01, 0x2E, 0x4C, 0xD1, 0xE4, 0xA8, 0xB1, 0xC2};
        if (!onlyOptions(options, {"uid"}, why) || !hexOption(options, "uid", {8}, &idm, why)) return nullptr;
        std::array<std::uint8_t, 8> id{};
        std::copy(idm.begin(), idm.end(), id.begin());
        return std::make_shared<FelicaCard>(id);
    };
    catalog.registerType(std::move(type));
}

}  // namespace sim
