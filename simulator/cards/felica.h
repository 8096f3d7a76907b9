// A FeliCa card as far as the reader uses it: its 8-byte IDm (2-byte
// manufacturer code, 6-byte card number), answered to polling.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "cards/card.h"

namespace sim {

class CardCatalog;

class FelicaCard : public Card {
public:
    explicit FelicaCard(std::array<std::uint8_t, 8> idm) : idm_(idm) {}

    std::string kind() const override { return "felica"; }
    std::string describe() const override;

    const std::array<std::uint8_t, 8>& idm() const { return idm_; }

private:
    std::array<std::uint8_t, 8> idm_;
};

// Catalogue entry "felica".

}  // namespace sim
