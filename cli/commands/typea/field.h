// Which type A card a command works with: the one named with --uid, else
// the first the anticollision finds. Every card in the field is listed
// first (each halted once seen, so that the next one answers), so that a
// field holding several cards is noticed and reported.
#pragma once

#include <string>
#include <vector>

#include "core/command.h"

namespace kl::typea {

struct FieldCard {
    Bytes atqa;  // as the reader sends it, least significant byte first
    Bytes uid;
    unsigned char sak = 0;
};

// Wakes every card and lists them: request, anticollision, select, halt,
// until no idle card answers. Every card is left halted. Empty when none
// answered. `selected`, when given, is called for each card while it is
// selected, before its halt.
std::vector<FieldCard> listCards(Session& reader,
                                 const std::function<void(const FieldCard&)>& selected = nullptr);

// What the select answer (SAK) says of a type A card: "Mifare Classic 1K" ...
const char* sortOf(unsigned char sak);

// "UID 04A1A2A3A4A5A6 (SAK 00), UID ..." for messages.
std::string describeCards(const std::vector<FieldCard>& cards);

// Says on standard error (and in the result as "warning") that several
// cards answered, which one `chosen` is taken and how to name another.
void warnSeveral(Context& context, const std::vector<FieldCard>& cards, const Bytes& chosen);

// Selects again the card with `uid` after a refused key or block: request
// (idle, so that cards put aside stay silent; a wake-up when the card went
// back to HALT), then select. False when the card does not answer.
bool selectByUid(Session& reader, const Bytes& uid, unsigned char* sak);

// The card a command works with, selected: the card named by --uid when
// one was given; else the first card `suits` accepts (the first card of
// all when none does), with a warning when several answered. The other
// cards are put aside (halted) until the field is reset when the session
// ends. Fails (exit code 5) when no card answers or none has the UID named.
FieldCard selectTarget(Context& context, const std::function<bool(const FieldCard&)>& suits);

}  // namespace kl::typea
