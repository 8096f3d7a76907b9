// ISO14443-4 activation and APDU exchange for type A and type B processor
// cards, type B request/ATTRIB/halt for every type B card (processor,
// identity and AT88RF020 chips alike), and the identity-card UID.
#include "firmware/command_families.h"
#include "firmware/processor_cards.h"

namespace sim {
namespace {

constexpr std::uint8_t kRequestIdle = 0x26;
constexpr std::uint8_t kChaining = 0x10;      // PCB bit of an I block with more to follow
constexpr std::uint8_t kCidFollows = 0x08;    // PCB bit: a CID byte follows
constexpr std::uint8_t kRAck = 0xA2;          // R(ACK), block number in bit 0
constexpr std::size_t kLongestCommand = 65544;  // an extended-length APDU

// Type B cards that answer under the reader's current card family.
std::vector<TypeBCard*> typeBCards(Reader& r) {
    std::vector<TypeBCard*> found;
    for (TypeBCard* card : r.reachable<TypeBCard>(r.card_family)) {
        if (card->family() == r.card_family) found.push_back(card);
    }
    return found;
}

// REQB (mode 0) or WUPB (mode 1): every card may answer; the reader keeps
// the first answer (the lowest time slot), the others stay ready.
TypeBCard* requestB(Reader& r, std::uint8_t mode) {
    TypeBCard* first = nullptr;
    for (TypeBCard* card : typeBCards(r)) {
        if (card->request(mode == 1) && first == nullptr) first = card;
    }
    return first;
}

TypeBCard* typeBByPupi(Reader& r, const Bytes& payload) {
    const std::array<std::uint8_t, 4> pupi = {payload[0], payload[1], payload[2], payload[3]};
    for (TypeBCard* card : typeBCards(r)) {
        if (card->pupi() == pupi) return card;
    }
    return nullptr;
}

// One block exchanged with the card: I blocks carry an APDU, R blocks ask
// for the last answer again, S(DESELECT) ends the session. A CID byte, when
// flagged, is echoed. An I block with the chaining bit is a part of a
// longer command: the card acknowledges it with R(ACK) of the same block
// number and runs the command when the last part (no chaining bit) comes.
std::optional<Reply> block(Reader& r, ApduCard& card, const Bytes& in) {
    const std::uint8_t pcb = in[0];
    const std::size_t header = (pcb & kCidFollows) ? 2 : 1;
    if (in.size() < header) return Reply::error(kProtocol);
    Bytes out(in.begin(), in.begin() + static_cast<std::ptrdiff_t>(header));
    if ((pcb & 0xE2) == 0x02) {  // I block
        Bytes& command = card.chained_command;
        command.insert(command.end(), in.begin() + static_cast<std::ptrdiff_t>(header), in.end());
        if (command.size() > kLongestCommand) {
            command.clear();
            return Reply::error(kProtocol);
        }
        if (pcb & kChaining) {
            out[0] = static_cast<std::uint8_t>(kRAck | (pcb & (kCidFollows | 0x01)));
        } else {
            const Bytes answer = card.apdu(command);
            command.clear();
            out.insert(out.end(), answer.begin(), answer.end());
        }
        card.last_block = out;
        return answerReply(out);
    }
    if ((pcb & 0xE6) == 0xA2) return answerReply(card.last_block);  // R block
    if ((pcb & 0xF7) == 0xC2) {  // S(DESELECT)
        card.leaveProtocol();
        // A deselected card goes to its halt state.
        if (auto* a = dynamic_cast<TypeACard*>(&card)) a->halt();
        if (auto* b = dynamic_cast<TypeBCard*>(&card)) b->halt(b->pupi());
        r.note("processor card deselected");
        return Reply::ok(out);
    }
    return Reply::error(kProtocol);
}

}  // namespace

ApduCard* activeProcessorCard(Reader& r) {
    if (r.card_family == kFamilyTypeA) {
        for (TypeACard* card : r.reachable<TypeACard>(kFamilyTypeA)) {
            auto* apdu = dynamic_cast<ApduCard*>(card);
            if (apdu && card->state() == TypeACard::State::active && apdu->protocolActive()) return apdu;
        }
    }
    for (TypeBCard* card : typeBCards(r)) {
        auto* apdu = dynamic_cast<ApduCard*>(card);
        if (apdu && card->state() == TypeBCard::State::active && apdu->protocolActive()) return apdu;
    }
    return nullptr;
}

Reply answerReply(const Bytes& answer) {
    if (answer.size() > kMaxReplyPayload) return Reply::error(kProtocol);
    return Reply::ok(answer);
}

void registerIso14443_4Commands(Firmware& fw) {
    // Request (0x26 idle cards; any other mode wakes halted ones too),
    // anticollision, select and RATS; the answer is the UID and the ATS.
    fw.registerHandler(kv::cmd::rf_typea_rst, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (auto bad = needLength(c, 1)) return bad;
        const std::vector<TypeACard*> cards = r.reachable<TypeACard>(kFamilyTypeA);
        if (requestAll(cards, (c.payload[0] & 0x7F) != kRequestIdle).empty()) return Reply::error(kNoCard);
        TypeACard* chosen = anticollide(cards);
        if (chosen == nullptr || selectByUid(cards, chosen->uid()) == nullptr) return Reply::error(kNoCard);
        auto* cpu = dynamic_cast<CpuCardA*>(chosen);
        if (cpu == nullptr) return Reply::error(kNoAnswer);  // no answer to RATS
        cpu->enterProtocol(0);
        Bytes answer = cpu->uid();
        answer.insert(answer.end(), cpu->ats().begin(), cpu->ats().end());
        return Reply::ok(answer);
    });
    fw.registerHandler(kv::cmd::rf_cos_command, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (c.payload.empty()) return Reply::error(kBadLength);
        ApduCard* card = activeProcessorCard(r);
        if (card == nullptr) return Reply::error(kNotActivated);
        return answerReply(card->apdu(c.payload));
    });
    fw.registerHandler(kv::cmd::rf_transceive, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (c.payload.empty()) return Reply::error(kBadLength);
        ApduCard* card = activeProcessorCard(r);
        if (card == nullptr) return Reply::error(kNotActivated);
        return block(r, *card, c.payload);
    });
    fw.registerHandler(kv::cmd::rf_cl_deselect, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (auto bad = needLength(c, 0)) return bad;
        ApduCard* card = activeProcessorCard(r);
        if (card == nullptr) return Reply::error(kNotActivated);
        return block(r, *card, Bytes{0xC2});
    });
    fw.registerHandler(kv::cmd::rf_atqb, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (auto bad = needLength(c, 1)) return bad;
        if (c.payload[0] > 1) return Reply::error(kBadParameter);
        TypeBCard* card = requestB(r, c.payload[0]);
        if (card == nullptr) return Reply::error(kNoCard);
        return Reply::ok(card->atqb());
    });
    // PUPI in card order, then param 4 of ATTRIB: bits 0-3 the CID.
    fw.registerHandler(kv::cmd::rf_attrib, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (auto bad = needLength(c, 5)) return bad;
        TypeBCard* card = typeBByPupi(r, c.payload);
        if (card == nullptr || !card->attrib(card->pupi())) return Reply::error(kNoCard);
        if (auto* apdu = dynamic_cast<ApduCard*>(card)) apdu->enterProtocol(c.payload[4] & 0x0F);
        return Reply::ok();
    });
    // The leading byte is the CID given at ATTRIB.
    fw.registerHandler(kv::cmd::rf_typeb_cos, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (c.payload.size() < 2) return Reply::error(kBadLength);
        for (TypeBCard* card : typeBCards(r)) {
            auto* apdu = dynamic_cast<ApduCard*>(card);
            if (apdu && card->state() == TypeBCard::State::active && apdu->protocolActive() &&
                apdu->cid() == c.payload[0]) {
                return answerReply(apdu->apdu(Bytes(c.payload.begin() + 1, c.payload.end())));
            }
        }
        return Reply::error(kNotActivated);
    });
    fw.registerHandler(kv::cmd::rf_hltb, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (auto bad = needLength(c, 4)) return bad;
        TypeBCard* card = typeBByPupi(r, c.payload);
        if (card == nullptr || !card->halt(card->pupi())) return Reply::error(kNoCard);
        if (auto* apdu = dynamic_cast<ApduCard*>(card)) apdu->leaveProtocol();
        return Reply::ok();
    });
    // Request, ATTRIB of the first answering processor card, then its UID
    // by 00 36 00 00 08.
    fw.registerHandler(kv::cmd::rf_get_namecard_uid, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (auto bad = needLength(c, 1)) return bad;
        if (c.payload[0] > 1) return Reply::error(kBadParameter);
        if (r.card_family != kFamilyTypeB) return Reply::error(kWrongCardType);
        if (requestB(r, c.payload[0]) == nullptr) return Reply::error(kNoCard);
        for (TypeBCard* card : typeBCards(r)) {
            auto* apdu = dynamic_cast<ApduCard*>(card);
            if (apdu == nullptr || card->state() != TypeBCard::State::ready || !card->attrib(card->pupi())) continue;
            apdu->enterProtocol(0);
            const Bytes answer = apdu->apdu({0x00, 0x36, 0x00, 0x00, 0x08});
            if (answer.size() != 10 || answer[8] != 0x90 || answer[9] != 0x00) return Reply::error(kProtocol);
            return Reply::ok(Bytes(answer.begin(), answer.begin() + 8));
        }
        return Reply::error(kNoCard);
    });
}

}  // namespace sim
