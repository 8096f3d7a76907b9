// The ISO14443-3 type A layer of the reader: request, anticollision,
// select, halt, and the commands that combine them.
//
// Choices of the simulated reader where the card protocol leaves it free:
//  - Anticollision completes every cascade level the card needs and
//    answers the whole UID (4, 7 or 10 bytes), whatever UID size the host
//    names (4, 7 or 10 are accepted): the host learns the real length.
//  - Several cards answering a request give the OR of their ATQAs, as the
//    bits collide on air; anticollision picks one per sim::anticollide.
//  - 0x33 (Ultralight select) runs anticollision and select among the cards
//    a request readied (with none ready it sends an idle request itself, so
//    a halted tag stays silent) and answers the selected card's UID,
//    whatever its length (the library refuses lengths other than 7).
//  - 0x8C (request1) and 0x20 (one-shot request) run request,
//    anticollision and select and answer the UID of the selected card.
//  - 0x29 (halt) succeeds whenever the field is up: the card sends no
//    answer to HLTA, so the reader cannot tell whether one heard it.
//  - 0x63 (check card) answers 1 when a type A card is in the field, halted
//    or not, 0 otherwise; it changes no card's state.
//  - 0x70 (two bytes) reads the first byte as the request mode and the
//    second as "select the card too" (non-zero); it answers ATQA (least
//    significant byte first), SAK, UID length and the first 4 UID bytes.
//    Without select the card stays ready for rf_select.
#include <algorithm>

#include "firmware/command_families.h"
#include "firmware/typea_reader.h"

namespace sim {
namespace {

std::optional<std::uint8_t> fieldProblem(const Reader& reader) {
    if (!reader.antenna) return kAntennaOff;
    if (reader.card_family != kFamilyTypeA) return kWrongCardType;
    return std::nullopt;
}

// Wakes the cards; the ATQAs of all that answer, OR-ed.
std::optional<std::uint16_t> requestCards(Reader& reader, bool wake_up, std::uint8_t* status) {
    if (auto problem = fieldProblem(reader)) {
        *status = *problem;
        return std::nullopt;
    }
    const auto cards = typeACards(reader);
    for (TypeACard* card : cards) endSession(card);
    const auto answered = requestAll(cards, wake_up);
    if (answered.empty()) {
        *status = kNoCard;
        return std::nullopt;
    }
    std::uint16_t atqa = 0;
    for (const TypeACard* card : answered) atqa = static_cast<std::uint16_t>(atqa | card->atqa());
    return atqa;
}

TypeACard* selectWinner(Reader& reader, std::uint8_t* status) {
    const auto cards = typeACards(reader);
    TypeACard* winner = anticollide(cards);
    if (winner == nullptr) {
        *status = kNoCard;
        return nullptr;
    }
    selectByUid(cards, winner->uid());
    endSession(winner);
    return winner;
}

std::optional<Reply> request(Reader& r, const Command& c) {
    if (auto bad = needLength(c, 1)) return bad;
    const auto wake_up = wakeUpMode(c.payload[0]);
    if (!wake_up) return Reply::error(kBadParameter);
    std::uint8_t status = kOk;
    const auto atqa = requestCards(r, *wake_up, &status);
    if (!atqa) return Reply::error(status);
    return Reply::ok({static_cast<std::uint8_t>(*atqa), static_cast<std::uint8_t>(*atqa >> 8)});
}

std::optional<Reply> uidOfRequestAndSelect(Reader& r, const Command& c) {
    if (auto bad = needLength(c, 1)) return bad;
    const auto wake_up = wakeUpMode(c.payload[0]);
    if (!wake_up) return Reply::error(kBadParameter);
    std::uint8_t status = kOk;
    TypeACard* card = requestAndSelect(r, *wake_up, &status);
    return card ? Reply::ok(card->uid()) : Reply::error(status);
}

std::optional<Reply> anticollision(Reader& r, const Command& c) {
    if (auto bad = needLength(c, 1)) return bad;
    const std::uint8_t size = c.payload[0];
    if (size != 4 && size != 7 && size != 10) return Reply::error(kBadParameter);
    if (auto problem = fieldProblem(r)) return Reply::error(*problem);
    TypeACard* winner = anticollide(typeACards(r));
    return winner ? Reply::ok(winner->uid()) : Reply::error(kNoCard);
}

std::optional<Reply> select(Reader& r, const Command& c) {
    if (c.payload.empty()) return Reply::error(kBadLength);
    if (auto problem = fieldProblem(r)) return Reply::error(*problem);
    TypeACard* card = selectByUid(typeACards(r), c.payload);
    if (card == nullptr) return Reply::error(kNoCard);
    endSession(card);
    return Reply::ok({card->sak()});
}

// A card never answers HLTA, so the reader reports success whether or not
// a card was selected to hear it.
std::optional<Reply> halt(Reader& r, const Command& c) {
    if (auto bad = needLength(c, 0)) return bad;
    if (auto problem = fieldProblem(r)) return Reply::error(*problem);
    if (TypeACard* card = activeCard(typeACards(r))) {
        card->halt();
        endSession(card);
    }
    return Reply::ok();
}

std::optional<Reply> ultralightSelect(Reader& r, const Command& c) {
    if (auto bad = needLength(c, 0)) return bad;
    if (auto problem = fieldProblem(r)) return Reply::error(*problem);
    std::uint8_t status = kOk;
    const auto cards = typeACards(r);
    const bool any_ready = std::any_of(cards.begin(), cards.end(),
                                       [](const TypeACard* card) { return card->state() == TypeACard::State::ready; });
    if (!any_ready && !requestCards(r, false, &status)) return Reply::error(status);
    TypeACard* card = selectWinner(r, &status);
    return card ? Reply::ok(card->uid()) : Reply::error(status);
}

std::optional<Reply> checkCard(Reader& r, const Command& c) {
    if (r.card_family != kFamilyTypeA || !c.payload.empty()) return std::nullopt;
    return Reply::ok({static_cast<std::uint8_t>(typeACards(r).empty() ? 0 : 1)});
}

std::optional<Reply> request080(Reader& r, const Command& c) {
    if (r.card_family != kFamilyTypeA || c.payload.size() != 2) return std::nullopt;
    const auto wake_up = wakeUpMode(c.payload[0]);
    if (!wake_up) return Reply::error(kBadParameter);
    std::uint8_t status = kOk;
    const auto atqa = requestCards(r, *wake_up, &status);
    if (!atqa) return Reply::error(status);
    TypeACard* card = c.payload[1] != 0 ? selectWinner(r, &status) : anticollide(typeACards(r));
    if (card == nullptr) return Reply::error(kNoCard);
    const Bytes& uid = card->uid();
    Bytes data = {static_cast<std::uint8_t>(*atqa), static_cast<std::uint8_t>(*atqa >> 8), card->sak(),
                  static_cast<std::uint8_t>(uid.size())};
    data.insert(data.end(), uid.begin(), uid.begin() + 4);
    return Reply::ok(std::move(data));
}

}  // namespace

std::vector<TypeACard*> typeACards(Reader& reader) { return reader.reachable<TypeACard>(kFamilyTypeA); }

void endSession(TypeACard* card) {
    if (auto* session = dynamic_cast<SessionCard*>(card)) session->endSession();
}

std::optional<bool> wakeUpMode(std::uint8_t mode) {
    switch (mode & 0x7F) {
    case 0x26: return false;
    case 0x52: return true;
    default: return std::nullopt;
    }
}

TypeACard* requestAndSelect(Reader& reader, bool wake_up, std::uint8_t* status) {
    if (!requestCards(reader, wake_up, status)) return nullptr;
    return selectWinner(reader, status);
}

TypeACard* selectedOrSearch(Reader& reader, std::uint8_t* status) {
    if (TypeACard* card = activeCard(typeACards(reader))) return card;
    return requestAndSelect(reader, false, status);
}

void registerTypeACommands(Firmware& fw) {
    fw.registerHandler(kv::cmd::rf_request, request);
    fw.registerHandler(kv::cmd::rf_request1, uidOfRequestAndSelect);
    fw.registerHandler(kv::cmd::rf_request_same_K62TX, uidOfRequestAndSelect);
    fw.registerHandler(kv::cmd::rf_anticoll, anticollision);
    fw.registerHandler(kv::cmd::rf_select, select);
    fw.registerHandler(kv::cmd::rf_halt, halt);
    fw.registerHandler(kv::cmd::rf_ul_select, ultralightSelect);
    fw.registerHandler(kv::cmd::rf_check_card, checkCard);
    fw.registerHandler(kv::cmd::rf_request_080, request080);
}

}  // namespace sim
