// Where APDUs go: a type A or type B contactless card, a SAM slot or the
// contact card. Activation first, then one exchange per APDU.
#pragma once

#include <string>

#include "core/command.h"

namespace kl::apdu {

struct TargetChoice {
    std::string kind = "a";   // a, b, sam, contact
    unsigned sam = 0;         // SAM number for sam
    unsigned contact_slot = 6;  // the SAM number under which the reader reaches the contact slot
    unsigned rate = 0;        // SAM rate index: 0 9600, 1 38400, 2 115200 baud
    void define(CLI::App& app);
};

class Target {
public:
    Target(Context& context, const TargetChoice& choice) : context_(context), choice_(choice) {}

    // Wakes and activates the card or module; returns what it answered
    // (UID and ATS, ATQB, or ATR) for the output.
    Json activate();
    // Resets the card and activates it again: a contactless card by
    // switching the field off and on, a SAM or contact card by its reset.
    Json reset();
    // One APDU and the answer (response data and status word).
    Bytes send(const Bytes& apdu);

private:
    unsigned samNumber() const { return choice_.kind == "contact" ? choice_.contact_slot : choice_.sam; }

    Context& context_;
    const TargetChoice& choice_;
    unsigned char cid_ = 0;
};

}  // namespace kl::apdu
