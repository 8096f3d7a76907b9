// A type A memory card whose authentication (and similar state) lives only
// while it stays selected: the command handlers end the session whenever
// the card is requested, selected, halted or fails an authentication, and
// the card ends it itself when it loses power or another card is selected.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
    // Whoever selects, halts or resets the card (the type A commands, or the
    // processor-card reset that runs the same layer) ends the session.
    void select() override {
        TypeACard::select();
        endSession();
    }
    void halt() override {
        TypeACard::halt();
        endSession();
    }
    void reset() override {
        TypeACard::reset();
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

protected:
    // Replaces the memory with a whole image of the same size (a dump).
    bool replaceMemory(std::vector<std::uint8_t>& memory, const std::vector<std::uint8_t>& image, std::string* why) {
        if (image.size() != memory.size()) {
            if (why) {
                *why = "a " + kind() + " image has " + std::to_string(memory.size()) + " bytes, not " +
                       std::to_string(image.size());
            }
            return false;
        }
        memory = image;
        endSession();
        return true;
    }
};

}  // namespace sim
