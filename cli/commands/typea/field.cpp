#include "field.h"

#include "KovalinkHID.h"
#include "blocks.h"
#include "core/errors.h"
#include "core/field_reset.h"
#include "core/targets.h"
#include "core/warning.h"
#include "reader_status.h"

namespace kl::typea {
namespace {

constexpr unsigned char kRequestAll = 0x52, kRequestIdle = 0x26;
// More cards than an antenna holds: a card that keeps answering after its
// halt is not counted for ever.
constexpr int kMostCards = 16;

}  // namespace

std::vector<FieldCard> listCards(Session& reader, const std::function<void(const FieldCard&)>& selected) {
    const auto a = reader.address();
    std::vector<FieldCard> cards;
    for (int round = 0; round < kMostCards; ++round) {
        unsigned char atqa[2] = {};
        const unsigned char mode = round == 0 ? kRequestAll : kRequestIdle;
        const int result = reader.tryCall("rf_request", [&] { return rf_request(a, mode, atqa); });
        if (result == common::status::kNoCard) break;
        if (result != 0) throw libraryError("rf_request", result);
        // Bits 6-7 of the answer to request give the UID size: 4, 7 or 10 bytes.
        const unsigned size_code = (atqa[0] >> 6) & 3;
        const unsigned char uid_size = size_code == 0 ? 4 : size_code == 1 ? 7 : 10;
        unsigned char uid[256] = {};
        unsigned char uid_length = 0;
        reader.call("rf_anticoll", [&] { return rf_anticoll(a, uid_size, uid, &uid_length); });
        FieldCard card{Bytes(atqa, atqa + 2), Bytes(uid, uid + uid_length), 0};
        reader.call("rf_select", [&] { return rf_select(a, uid, uid_length, &card.sak); });
        bool seen = false;
        for (const FieldCard& c : cards) seen = seen || c.uid == card.uid;
        if (!seen && selected) selected(card);
        reader.call("rf_halt", [&] { return rf_halt(a); });
        if (seen) break;
        cards.push_back(card);
    }
    return cards;
}

const char* sortOf(unsigned char sak) {
    switch (sak) {
    case 0x00: return "Ultralight / NTAG family";
    case 0x08: return "Mifare Classic 1K";
    case 0x09: return "Mifare Mini";
    case 0x18: return "Mifare Classic 4K";
    case 0x88: return "Mifare Classic 1K";
    default: return sak & 0x20 ? "ISO14443-4 processor card" : "type A card";
    }
}

std::string describeCards(const std::vector<FieldCard>& cards) {
    std::string text;
    for (const FieldCard& c : cards) {
        text += (text.empty() ? "UID " : ", UID ") + toHex(c.uid) + " (SAK " + toHex(&c.sak, 1) + ")";
    }
    return text;
}

void warnSeveral(Context& context, const std::vector<FieldCard>& cards, const Bytes& chosen) {
    warn(context.out, std::to_string(cards.size()) + " type A cards answered: " + describeCards(cards) + "; working with " +
                      toHex(chosen) + " (name another with --uid)");
}

bool selectByUid(Session& reader, const Bytes& uid, unsigned char* sak) {
    const auto a = reader.address();
    const auto select = [&](unsigned char mode) {
        unsigned char atqa[2] = {};
        const int requested = reader.tryCall("rf_request", [&] { return rf_request(a, mode, atqa); });
        if (requested == common::status::kNoCard) return false;
        if (requested != 0) throw libraryError("rf_request", requested);
        const int selected = reader.tryCall("rf_select", [&] {
            return rf_select(a, uid.data(), static_cast<unsigned char>(uid.size()), sak);
        });
        if (selected == common::status::kNoCard) return false;
        if (selected != 0) throw libraryError("rf_select", selected);
        return true;
    };
    // An idle request first: cards put aside (halted) stay silent. A tag
    // woken from HALT goes back there on a refused command, though: then
    // only a wake-up reaches it.
    return select(kRequestIdle) || select(kRequestAll);
}

FieldCard selectTarget(Context& context, const std::function<bool(const FieldCard&)>& suits) {
    Session& reader = context.reader;
    const auto a = reader.address();
    selectFamily(reader);
    const Bytes& named = targets().uid;
    if (!named.empty() && named.size() != 4 && named.size() != 7 && named.size() != 10) {
        throw usageError("--uid " + toHex(named) + ": a type A UID has 4, 7 or 10 bytes");
    }
    const std::vector<FieldCard> cards = listCards(reader);
    if (cards.empty()) throw libraryError("rf_request", common::status::kNoCard);
    const FieldCard* chosen = nullptr;
    for (const FieldCard& c : cards) {
        if (!chosen && (named.empty() ? suits(c) : c.uid == named)) chosen = &c;
    }
    if (!named.empty() && !chosen) {
        resetFieldAtEnd();
        throw Failure(kExitReaderStatus,
                      "no type A card with UID " + toHex(named) + " answered (found: " + describeCards(cards) + ")");
    }
    if (!chosen) chosen = &cards.front();
    if (cards.size() > 1 && named.empty()) warnSeveral(context, cards, chosen->uid);
    // Every card was halted while listing. Wake them all, then put the
    // others aside again (select, halt), so that only the chosen one answers
    // the requests that follow (the one-shot commands make their own).
    unsigned char atqa[2] = {};
    reader.call("rf_request", [&] { return rf_request(a, kRequestAll, atqa); });
    for (const FieldCard& other : cards) {
        if (other.uid == chosen->uid) continue;
        unsigned char sak = 0;
        reader.call("rf_select", [&] {
            return rf_select(a, other.uid.data(), static_cast<unsigned char>(other.uid.size()), &sak);
        });
        reader.call("rf_halt", [&] { return rf_halt(a); });
        reader.call("rf_request", [&] { return rf_request(a, kRequestIdle, atqa); });
        // The cards halted here answer the next program only after a field reset.
        resetFieldAtEnd();
    }
    FieldCard card = *chosen;
    reader.call("rf_select", [&] {
        return rf_select(a, card.uid.data(), static_cast<unsigned char>(card.uid.size()), &card.sak);
    });
    return card;
}

}  // namespace kl::typea
