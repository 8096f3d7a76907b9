// Catalogue entries of the processor cards and contact modules.
#include <string>
#include <vector>

#include "cards/card_options.h"
#include "cards/card_types.h"
#include "cards/catalog.h"
#include "cards/cpu_card.h"
#include "cards/sam.h"

namespace sim {
namespace {

const char* const kCosHelp =
    "key=hex (8 or 16 bytes, key id 0; default 16 x FF), keyN=hex (key id N, 0-15), tries=n (key try limit, "
    "default 3)";
const char* const kCardCosHelp =
    ", key1 defaults to 16 x FF (the purse key), diversify=1 (external authentication under key scattered over "
    "the UID/PUPI), pin=hex (1-8 bytes, default 123456), pin_tries=n (default 3), reload_key=hex (16 bytes, "
    "default 16 x FF), balance=n (purse, default 0). Files: MF 3F00 with 000A (Wiegand record, free), DF01 "
    "'KOVALINK.APP' with 0001 (256 bytes, written after external authentication) and 0002 (64 bytes, after "
    "VERIFY)";

const Bytes kDefaultKey(16, 0xFF);

bool fail(std::string* why, const std::string& text) {
    if (why) *why = text;
    return false;
}

// The options every COS takes besides `more`: key, tries and key0 to key15.
std::vector<std::string> cosOptions(std::initializer_list<const char*> more) {
    std::vector<std::string> known(more.begin(), more.end());
    known.insert(known.end(), {"key", "tries"});
    for (int id = 0; id < 16; ++id) known.push_back("key" + std::to_string(id));
    return known;
}

// Keys, PIN, purse and diversification of a COS from the options.
bool configure(Cos& cos, const CardOptions& o, bool card, const Bytes& serial, std::string* why) {
    unsigned long tries = 3;
    if (!numberOption(o, "tries", 1, 15, &tries, why)) return false;
    Bytes key0 = kDefaultKey;
    if (!hexOption(o, "key", 8, 16, &key0, why)) return false;
    cos.setKey(0, key0, static_cast<int>(tries));
    // Default purse key (cards) or purse and authentication keys (SAMs).
    for (int id = 1; id <= (card ? 1 : 2); ++id) {
        cos.setKey(static_cast<std::uint8_t>(id), kDefaultKey, static_cast<int>(tries));
    }
    for (int id = 0; id < 16; ++id) {
        Bytes value;
        if (!hexOption(o, "key" + std::to_string(id), 8, 16, &value, why)) return false;
        if (!value.empty()) cos.setKey(static_cast<std::uint8_t>(id), value, static_cast<int>(tries));
    }
    if (!card) return true;
    Bytes pin{0x12, 0x34, 0x56}, reload = kDefaultKey;
    unsigned long pin_tries = 3, balance = 0, diversify = 0;
    if (!hexOption(o, "pin", 1, 8, &pin, why) || !numberOption(o, "pin_tries", 1, 15, &pin_tries, why) ||
        !hexOption(o, "reload_key", {16}, &reload, why) || !numberOption(o, "balance", 0, 0x7FFFFFFF, &balance, why) ||
        !numberOption(o, "diversify", 0, 1, &diversify, why)) {
        return false;
    }
    cos.setPin(pin, static_cast<int>(pin_tries));
    cos.setReloadKey(reload);
    cos.setBalance(static_cast<std::uint32_t>(balance));
    if (diversify && serial.empty()) return fail(why, "diversify needs a contactless card's UID");
    if (diversify) cos.setDiversifier(serial);
    standardCardFiles(cos);
    return true;
}

// The options of every card with a COS, besides `more`.
std::vector<std::string> cardOptions(std::initializer_list<const char*> more) {
    std::vector<std::string> known = cosOptions(more);
    known.insert(known.end(), {"diversify", "pin", "pin_tries", "reload_key", "balance"});
    return known;
}

std::array<std::uint8_t, 4> pupiOf(const Bytes& b) { return {b[0], b[1], b[2], b[3]}; }

CardPtr makeCpuA(const CardOptions& o, std::string* why) {
    Bytes uid{0xA1, 0xB2, 0xC3, 0xD4};
    Bytes ats{0x09, 0x78, 0x80, 0x70, 0x02, 'K', 'O', 'V', 'A'};
    if (!onlyOptions(o, cardOptions({"uid", "ats"}), why) || !hexOption(o, "uid", {4, 7, 10}, &uid, why) ||
        !hexOption(o, "ats", 1, 32, &ats, why)) {
        return nullptr;
    }
    auto cos = std::make_shared<Cos>(Cos::Role::card);
    if (!configure(*cos, o, true, uid, why)) return nullptr;
    return std::make_shared<CpuCardA>(uid, ats, cos);
}

CardPtr makeCpuB(const CardOptions& o, std::string* why) {
    Bytes pupi{0x11, 0x22, 0x33, 0x44};
    if (!onlyOptions(o, cardOptions({"pupi"}), why) || !hexOption(o, "pupi", {4}, &pupi, why)) return nullptr;
    auto cos = std::make_shared<Cos>(Cos::Role::card);
    if (!configure(*cos, o, true, pupi, why)) return nullptr;
    return std::make_shared<CpuCardB>(pupiOf(pupi), cos);
}

CardPtr makeIdCard(const CardOptions& o, std::string* why) {
    Bytes pupi{0x00, 0x00, 0x00, 0x00}, uid{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0};
    if (!onlyOptions(o, {"pupi", "uid"}, why) || !hexOption(o, "pupi", {4}, &pupi, why) ||
        !hexOption(o, "uid", {8}, &uid, why)) {
        return nullptr;
    }
    return std::make_shared<IdCardB>(pupiOf(pupi), uid);
}

CardPtr makeSam(const CardOptions& o, std::string* why) {
    unsigned long slot = 1;
    Bytes atr{0x3B, 0x18, 0x13, 'K', 'O', 'V', 'A', 'S', 'A', 'M', '1'};
    if (!onlyOptions(o, cosOptions({"slot", "atr"}), why) || !numberOption(o, "slot", 1, 6, &slot, why) ||
        !hexOption(o, "atr", 2, 32, &atr, why)) {
        return nullptr;
    }
    auto sam = std::make_shared<SamCard>(static_cast<int>(slot), atr);
    if (!configure(sam->cos(), o, false, {}, why)) return nullptr;
    standardCardFiles(sam->cos());
    return sam;
}

CardPtr makeContact(const CardOptions& o, std::string* why) {
    unsigned long shorted = 0;
    Bytes atr{0x3B, 0x18, 0x13, 'K', 'O', 'V', 'A', 'C', 'P', 'U', '1'};
    if (!onlyOptions(o, cardOptions({"atr", "short"}), why) || !hexOption(o, "atr", 2, 32, &atr, why) ||
        !numberOption(o, "short", 0, 1, &shorted, why)) {
        return nullptr;
    }
    auto card = std::make_shared<ContactCard>(atr, shorted == 1);
    if (!configure(card->cos(), o, true, {}, why)) return nullptr;
    return card;
}

}  // namespace

void registerProcessorCardTypes(CardCatalog& catalog) {
    const std::string cos = kCosHelp, card = std::string(kCosHelp) + kCardCosHelp;
    catalog.registerType(CardType{"cpu-a", "ISO14443-4 type A CPU card",
                         "uid=hex (4, 7 or 10 bytes, default A1B2C3D4), ats=hex (default 0978807002 'KOVA'), " + card,
                         makeCpuA});
    catalog.registerType(CardType{"cpu-b", "ISO14443-4 type B CPU card", "pupi=hex (4 bytes, default 11223344), " + card,
                         makeCpuB});
    catalog.registerType(CardType{"idcard-b", "type B identity card",
                         "pupi=hex (4 bytes, default 00000000), uid=hex (8 bytes, default 123456789ABCDEF0)",
                         makeIdCard});
    catalog.registerType(CardType{"sam", "PSAM in a SAM slot",
                         "slot=1..6 (default 1; SAM number slot-1), atr=hex (default 3B1813 'KOVASAM1'), " + cos +
                             "; keys 1 and 2 default to 16 x FF; files as on a card",
                         makeSam});
    catalog.registerType(CardType{"contact", "CPU card in the large contact slot",
                         "atr=hex (default 3B1813 'KOVACPU1'), short=1 (VG short circuit), " + card, makeContact});
}

}  // namespace sim
