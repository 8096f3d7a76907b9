// The contactless slot: finds the card in the field (type A first, then
// type B), activates it and builds its ATR, tells whether it is still
// there, and carries APDUs to ISO14443-4 cards.
#include <KovalinkHID.h>

#include "slots.h"

namespace kvpcsc {
namespace {

constexpr unsigned char kWakeUp = 0x52;
constexpr unsigned char kIso14443_4 = 0x20;  // SAK bit: the card speaks ISO14443-4
constexpr unsigned char kCid = 0;            // the only card identifier the driver uses
constexpr unsigned char kBufferSize = 255;

unsigned int pupiOf(const Bytes& pupi) {
    // Sent least significant byte first, so card order goes out unchanged.
    return static_cast<unsigned int>(pupi[0]) | static_cast<unsigned int>(pupi[1]) << 8 |
           static_cast<unsigned int>(pupi[2]) << 16 | static_cast<unsigned int>(pupi[3]) << 24;
}

std::optional<StorageCard> storageName(unsigned char sak) {
    switch (sak) {
    case 0x08: return StorageCard::mifare1k;
    case 0x18: return StorageCard::mifare4k;
    case 0x09: return StorageCard::mifareMini;
    case 0x00: return StorageCard::ultralight;
    default: return std::nullopt;
    }
}

// Request, anticollision and select of one type A card; its SAK.
std::optional<unsigned char> selectTypeA(int address, Bytes* uid) {
    unsigned char atqa[2];
    unsigned char buffer[kBufferSize];
    unsigned char length = 0, sak = 0;
    if (rf_request(address, kWakeUp, atqa) != 0) return std::nullopt;
    if (rf_anticoll(address, 4, buffer, &length) != 0 || (length != 4 && length != 7 && length != 10)) {
        return std::nullopt;
    }
    if (rf_select(address, buffer, length, &sak) != 0) return std::nullopt;
    uid->assign(buffer, buffer + length);
    return sak;
}

bool findTypeA(Reader& reader) {
    const int a = reader.address;
    if (rf_init_type(a, 'A') != 0) return false;
    ContactlessCard card;
    const std::optional<unsigned char> sak = selectTypeA(a, &card.uid);
    if (!sak) return false;
    if (*sak & kIso14443_4) {
        // The reader's own activation (wake-up, select, RATS) answers UID and ATS.
        unsigned char buffer[kBufferSize];
        unsigned char length = 0;
        rf_halt(a);
        if (rf_typea_rst(a, kWakeUp, buffer, &length) != 0 || length <= card.uid.size()) return false;
        card.ats.assign(buffer + card.uid.size(), buffer + length);
        card.atr = typeAAtr(card.ats);
        if (card.atr.empty()) return false;
        card.kind = CardKind::typeA4;
    } else {
        const std::optional<StorageCard> name = storageName(*sak);
        if (!name) return false;
        card.name = *name;
        card.kind = *name == StorageCard::ultralight ? CardKind::ultralight : CardKind::classic;
        card.atr = storageCardAtr(*name);
    }
    reader.card = card;
    return true;
}

bool findTypeB(Reader& reader) {
    const int a = reader.address;
    if (rf_init_type(a, 'B') != 0) return false;
    unsigned char atqb[12];
    unsigned char length = 0;
    if (rf_atqb(a, 1, atqb, &length) != 0) return false;
    ContactlessCard card;
    card.atqb.assign(atqb, atqb + 12);
    card.uid.assign(atqb + 1, atqb + 5);
    if (rf_attrib(a, pupiOf(card.uid), kCid) != 0) return false;
    card.kind = CardKind::typeB;
    card.atr = typeBAtr(card.atqb, 0);
    reader.card = card;
    return true;
}

// Ends the card's session so that the next activation finds it again:
// S(DESELECT) for ISO14443-4 cards, HLTA for memory cards.
void release(Reader& reader) {
    switch (reader.card.kind) {
    case CardKind::typeA4:
    case CardKind::typeB: rf_cl_deselect(reader.address); break;
    case CardKind::classic:
    case CardKind::ultralight: rf_halt(reader.address); break;
    case CardKind::none: break;
    }
}

}  // namespace

bool contactlessActivate(Reader& reader) {
    release(reader);
    reader.card = ContactlessCard{};
    reader.keys = KeyStore{};
    Slot& slot = reader.slots[kContactlessSlot];
    slot.present = findTypeA(reader) || findTypeB(reader);
    slot.powered = slot.present;
    slot.atr = reader.card.atr;
    return slot.present;
}

bool contactlessPresent(Reader& reader) {
    Slot& slot = reader.slots[kContactlessSlot];
    const int a = reader.address;
    bool here = false;
    switch (reader.card.kind) {
    case CardKind::none: return contactlessActivate(reader);
    case CardKind::classic:
    case CardKind::ultralight:
    case CardKind::typeA4: {
        // Asks the reader whether a type A card is in the field; no card's state changes.
        unsigned char flag = 0;
        here = rf_check_card(a, &flag) == 0 && flag == 1;
        break;
    }
    case CardKind::typeB: {
        // R(NAK): an active card answers with its last block again.
        const unsigned char nak = 0xB2;
        unsigned char buffer[kBufferSize];
        unsigned char length = 0;
        here = rf_transceive(a, &nak, 1, buffer, &length) == 0;
        break;
    }
    }
    if (!here) {
        reader.card = ContactlessCard{};
        slot = Slot{};
    }
    return here;
}

void contactlessPowerDown(Reader& reader) {
    release(reader);
    reader.keys = KeyStore{};
    reader.slots[kContactlessSlot].powered = false;
}

Bytes contactlessTransmit(Reader& reader, const Bytes& apdu) {
    if (apdu.size() >= 1 && apdu[0] == 0xFF) return pseudoApdu(reader, apdu);
    const int a = reader.address;
    unsigned char buffer[kBufferSize];
    unsigned char length = 0;
    int status = 1;
    if (apdu.size() > 250) return {};
    const auto n = static_cast<unsigned char>(apdu.size());
    switch (reader.card.kind) {
    case CardKind::typeA4: status = rf_cos_command(a, apdu.data(), n, buffer, &length); break;
    case CardKind::typeB: status = rf_typeb_cos(a, kCid, apdu.data(), n, buffer, &length); break;
    case CardKind::classic:
    case CardKind::ultralight: return sw(0x6E, 0x00);  // memory cards take class FF only
    case CardKind::none: return {};
    }
    if (status != 0) return {};
    return Bytes(buffer, buffer + length);
}

}  // namespace kvpcsc
