// What the type A command handlers share: which cards can answer, the
// selected card, payload-length checks, and the reader's wake-and-select
// sequence.
#pragma once

#include <optional>

#include "cards/type_a_session.h"
#include "firmware/firmware.h"

namespace sim {

// Type A cards that can answer now (antenna on, family 'A').
std::vector<TypeACard*> typeACards(Reader& reader);

// Ends the session of a memory card (after request, select or halt).
void endSession(TypeACard* card);

// The selected card as T: null with `status` set to kNotSelected when no
// card is selected, or to `wrong_type` when the selected card is no T.
template <typename T>
T* selectedAs(Reader& reader, std::uint8_t* status, std::uint8_t wrong_type = kWrongCardType) {
    TypeACard* card = activeCard(typeACards(reader));
    if (card == nullptr) {
        *status = kNotSelected;
        return nullptr;
    }
    T* typed = dynamic_cast<T*>(card);
    if (typed == nullptr) *status = wrong_type;
    return typed;
}

// A refusal unless the payload has exactly `n` bytes.
inline std::optional<Reply> needLength(const Command& c, std::size_t n) {
    if (c.payload.size() != n) return Reply::error(kBadLength);
    return std::nullopt;
}

// A reply that is the status alone, or the data on success. The data is
// taken by reference so that `answer(card.read(b, &data), data)` sends what
// the read filled in, whatever order the arguments are evaluated in.
inline Reply answer(std::uint8_t status, const Bytes& data = {}) {
    return status == kOk ? Reply::ok(data) : Reply::error(status);
}

// Request modes: 0x26 (idle cards) and 0x52 (halted ones too), with or
// without bit 7. Nothing for any other value.
std::optional<bool> wakeUpMode(std::uint8_t mode);

// Request, anticollision and select in one go, as the reader does for its
// one-exchange commands: the chosen card, or null with `status` set.
TypeACard* requestAndSelect(Reader& reader, bool wake_up, std::uint8_t* status);

// The selected card, or, when there is none, one found by an idle request
// and selected; null with `status` set when none answers.
TypeACard* selectedOrSearch(Reader& reader, std::uint8_t* status);

}  // namespace sim
