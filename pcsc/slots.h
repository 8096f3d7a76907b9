// The reader as pcscd sees it: one reader, several slots. Slot 0 is the
// contactless field, slot 1 the contact slot, slots 2-7 the SAM slots
// (SAM numbers 0-5). Every function here runs under the reader's lock.
#ifndef KOVALINK_PCSC_SLOTS_H
#define KOVALINK_PCSC_SLOTS_H

#include <array>
#include <cstdint>
#include <optional>

#include "atr.h"

namespace kvpcsc {

constexpr int kContactlessSlot = 0;
constexpr int kContactSlot = 1;
constexpr int kFirstSamSlot = 2;
constexpr int kSamSlots = 6;
constexpr int kSlotCount = kFirstSamSlot + kSamSlots;
constexpr std::uint8_t kContactModule = 6;  // the contact slot's number among the SAM numbers

// What the field holds.
enum class CardKind { none, classic, ultralight, typeA4, typeB };

struct ContactlessCard {
    CardKind kind = CardKind::none;
    Bytes uid;       // type A: the UID; type B: the PUPI
    Bytes ats;       // ISO14443-4 type A
    Bytes atqb;      // type B
    Bytes atr;
    StorageCard name = StorageCard::mifare1k;
};

// Keys loaded with FF 82, kept by the driver for the session.
using KeyStore = std::array<std::optional<std::array<std::uint8_t, 6>>, 2>;

struct Slot {
    bool present = false;
    bool powered = false;
    Bytes atr;
};

struct Reader {
    int address = 0;
    std::array<Slot, kSlotCount> slots;
    ContactlessCard card;
    KeyStore keys;
};

// Contactless field: look for a card, activate it (power up), report presence.
bool contactlessActivate(Reader& reader);
bool contactlessPresent(Reader& reader);
void contactlessPowerDown(Reader& reader);
// One APDU to the card in the field; class FF commands are run by the driver.
Bytes contactlessTransmit(Reader& reader, const Bytes& apdu);

// Pseudo-APDUs of class FF for the card in the field.
Bytes pseudoApdu(Reader& reader, const Bytes& apdu);

// Contact slot and SAM slots (slot numbers as above).
bool contactPresent(Reader& reader, int slot);
bool contactPowerUp(Reader& reader, int slot);
void contactPowerDown(Reader& reader, int slot);
Bytes contactTransmit(Reader& reader, int slot, const Bytes& apdu);

// Status words.
inline Bytes sw(std::uint8_t sw1, std::uint8_t sw2) { return {sw1, sw2}; }

}  // namespace kvpcsc

#endif
