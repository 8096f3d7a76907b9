// A type A memory card whose authentication (and similar state) lives only
// while it stays selected: the command handlers end the session whenever
// the card is requested, selected, halted or fails an authentication, and
// the card ends it itself when it loses power or another card is selected.
#pragma once

#include <string>

#include "cards/type_a.h"

namespace sim {

class SessionCard : public TypeACard {
public:
    using TypeACard::TypeACard;

    virtual void endSession() = 0;

    void powerDown() override {
        TypeACard::powerDown();
        endSession();
    }
    void deselected() override {
        TypeACard::deselected();
        endSession();
    }
    // " (ready)", " (selected)", " (halted)" or nothing when idle, for listings.
    std::string stateNote() const {
        switch (state()) {
        case State::ready: return " (ready)";
        case State::active: return " (selected)";
        case State::halted: return " (halted)";
        default: return "";
        }
    }

    // A failed authentication: no answer, back to idle.
    void dropToIdle() {
        reset();
        endSession();
    }
};

}  // namespace sim
