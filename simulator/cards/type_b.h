// The ISO14443-3 type B layer shared by every type B card: the 12-byte
// answer to request (0x50, PUPI, application data, protocol information),
// ATTRIB by PUPI and HLTB.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "cards/card.h"

namespace sim {

class TypeBCard : public Card {
public:
    enum class State { idle, ready, active, halted };

    // `family` is the reader card-family letter under which the card answers
    // ('B' for processor and identity cards, 'r' for AT88RF020).
    TypeBCard(std::array<std::uint8_t, 4> pupi, std::array<std::uint8_t, 4> application,
              std::array<std::uint8_t, 3> protocol, std::uint8_t family)
        : pupi_(pupi), application_(application), protocol_(protocol), family_(family) {}

    const std::array<std::uint8_t, 4>& pupi() const { return pupi_; }
    std::uint8_t family() const { return family_; }
    State state() const { return state_; }

    // The 12-byte ATQB.
    std::vector<std::uint8_t> atqb() const;

    // REQB (wake_up false) wakes idle cards; WUPB (true) halted ones too.
    bool request(bool wake_up);
    // ATTRIB with this card's PUPI makes it active.
    bool attrib(const std::array<std::uint8_t, 4>& pupi);
    bool halt(const std::array<std::uint8_t, 4>& pupi);
    void powerDown() override { state_ = State::idle; }

protected:
    std::array<std::uint8_t, 4> pupi_;
    std::array<std::uint8_t, 4> application_;
    std::array<std::uint8_t, 3> protocol_;
    std::uint8_t family_;
    State state_ = State::idle;
};

}  // namespace sim
