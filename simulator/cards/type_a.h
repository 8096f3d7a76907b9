// The ISO14443-3 type A layer shared by every type A card: answer to
// request, anticollision by UID, select and halt.
#pragma once

#include <cstdint>
#include <vector>

#include "cards/card.h"

namespace sim {

class TypeACard : public Card {
public:
    enum class State { idle, ready, active, halted };

    TypeACard(std::vector<std::uint8_t> uid, std::uint16_t atqa, std::uint8_t sak)
        : uid_(std::move(uid)), atqa_(atqa), sak_(sak) {}

    const std::vector<std::uint8_t>& uid() const { return uid_; }
    std::uint16_t atqa() const { return atqa_; }
    std::uint8_t sak() const { return sak_; }
    State state() const { return state_; }

    // REQA (0x26) wakes idle cards, WUPA (0x52) halted ones too. A card that
    // is already ready or active answers as well: the reader drops any
    // selection before it requests. Returns true when the card answered.
    virtual bool request(bool wake_up);
    // Cards with more protocol on top (ISO14443-4) leave it on every change.
    virtual void select() { state_ = State::active; }
    virtual void halt() { state_ = State::halted; }
    // Back to idle, as after a failed authentication.
    virtual void reset() { state_ = State::idle; }
    void powerDown() override { state_ = State::idle; }

    // The card was deselected by another card's selection.
    virtual void deselected() { if (state_ == State::active || state_ == State::ready) state_ = State::idle; }

    // Whether the card came out of HALT by the last wake-up; it returns
    // there instead of to idle when it refuses a command.
    bool wokenFromHalt() const { return woken_from_halt_; }

protected:
    std::vector<std::uint8_t> uid_;
    std::uint16_t atqa_;
    std::uint8_t sak_;
    State state_ = State::idle;
    bool woken_from_halt_ = false;
};

// The cards of `candidates` that answer a request, in placement order.
std::vector<TypeACard*> requestAll(const std::vector<TypeACard*>& candidates, bool wake_up);

// Anticollision among the ready cards: the one a bitwise anticollision loop
// ends on when it follows the 1 branch at every collision (the highest UID,
// compared byte by byte from the first UID byte). Null when none is ready.
TypeACard* anticollide(const std::vector<TypeACard*>& candidates);

// Selects the ready card with this UID; every other active or ready card
// goes back to idle. Null when no ready card has the UID.
TypeACard* selectByUid(const std::vector<TypeACard*>& candidates, const std::vector<std::uint8_t>& uid);

// The active card, or null.
TypeACard* activeCard(const std::vector<TypeACard*>& candidates);

}  // namespace sim
