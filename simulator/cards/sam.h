// Contact modules: SAMs in the reader's six SAM slots and the CPU card in
// its large contact slot. Neither depends on the antenna: the RF field going
// down does not touch them.
#pragma once

#include "cards/card.h"
#include "cards/cos.h"

namespace sim {

class ContactModule : public Card {
public:
    ContactModule(Bytes atr, Cos::Role role);

    const Bytes& atr() const { return atr_; }
    // Cold or warm reset: the COS starts afresh and the ATR is the answer.
    const Bytes& reset();
    bool active() const { return active_; }
    void deactivate() { active_ = false; }
    Bytes apdu(const Bytes& command) { return cos_.process(command); }
    // A PPS asking for the Fi/Di byte PPS1: accepted when it is the default
    // (11) or the module's own TA1.
    bool acceptsPps(std::uint8_t pps1) const;
    Cos& cos() { return cos_; }

    // Fed by the contacts, not the field.
    void powerDown() override {}

private:
    Bytes atr_;
    Cos cos_;
    bool active_ = false;
};

// A SAM in slot 1-6 (SAM numbers 0-5 on the wire).
class SamCard : public ContactModule {
public:
    SamCard(int slot, Bytes atr) : ContactModule(std::move(atr), Cos::Role::sam), slot_(slot) {}
    std::string kind() const override { return "sam"; }
    std::string describe() const override { return "sam in slot " + std::to_string(slot_); }
    int slot() const { return slot_; }

private:
    int slot_;
};

// The CPU card in the large contact slot. Power on activates it (the ATR is
// taken and the card takes APDUs); a reset by number needs the power on.
class ContactCard : public ContactModule {
public:
    ContactCard(Bytes atr, bool shorted) : ContactModule(std::move(atr), Cos::Role::card), shorted_(shorted) {}
    std::string kind() const override { return "contact"; }
    bool shorted() const { return shorted_; }
    bool powered() const { return powered_; }
    void setPower(bool on) {
        powered_ = on;
        if (on) reset();
        else deactivate();
    }

private:
    bool shorted_;
    bool powered_ = false;
};

}  // namespace sim
