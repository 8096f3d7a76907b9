// The processor-card families of the simulated reader: ISO14443-4 type A
// and B cards, the SAM slots and the contact slot, and the composite
// CPU-card / PSAM commands built on them.
#pragma once

#include "cards/cpu_card.h"
#include "cards/sam.h"
#include "firmware/firmware.h"

namespace sim {

class CardCatalog;


// The SAM number of the large contact slot; 0-5 are SAM slots 1-6.
constexpr unsigned kContactSlotNumber = 6;

// The processor card activated under the reader's card family (type A by
// rf_typea_rst, type B by ATTRIB), or null.
ApduCard* activeProcessorCard(Reader& reader);

// The module that SAM number `number` addresses, or null when that slot is
// empty (or the number names no slot).
ContactModule* moduleFor(Reader& reader, unsigned number);

// A payload of the wrong length is refused with kBadLength.
inline std::optional<Reply> needLength(const Command& c, std::size_t n) {
    if (c.payload.size() != n) return Reply::error(kBadLength);
    return std::nullopt;
}

// A card's answer as the reader's reply; one that would not fit a frame is
// a protocol error.
Reply answerReply(const Bytes& answer);

}  // namespace sim
