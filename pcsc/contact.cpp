// The contact slot and the SAM slots: each is reset by its SAM number
// (the contact slot is number 6 and is powered first), and APDUs go to it
// by that number.
#include <KovalinkHID.h>

#include "slots.h"

namespace kvpcsc {
namespace {

constexpr unsigned char kRate115200 = 2;

unsigned char moduleOf(int slot) {
    return slot == kContactSlot ? kContactModule : static_cast<unsigned char>(slot - kFirstSamSlot);
}

bool reset(Reader& reader, int slot) {
    const unsigned char param = static_cast<unsigned char>(moduleOf(slot) << 4 | kRate115200);
    unsigned char atr[255];
    unsigned char length = 0;
    Slot& s = reader.slots[slot];
    if (rf_sam_rst_2(reader.address, &param, 1, atr, &length) != 0 || length == 0) {
        s.powered = false;
        return false;
    }
    s.atr.assign(atr, atr + length);
    s.powered = true;
    return true;
}

}  // namespace

bool contactPresent(Reader& reader, int slot) {
    Slot& s = reader.slots[slot];
    if (slot == kContactSlot) {
        unsigned char inserted = 0;
        s.present = rf_ContactCpuCard_In_Check(reader.address, &inserted) == 0 && inserted == 1;
    } else if (!s.powered) {
        // A SAM has no presence switch: a reset that answers an ATR finds it.
        // It is then left unpowered until a client connects.
        s.present = reset(reader, slot);
        s.powered = false;
    }
    if (!s.present) s = Slot{};
    return s.present;
}

bool contactPowerUp(Reader& reader, int slot) {
    if (slot == kContactSlot && rf_ContactCpuCard_Power_OnOff(reader.address, 1) != 0) return false;
    reader.slots[slot].present = reset(reader, slot);
    return reader.slots[slot].present;
}

void contactPowerDown(Reader& reader, int slot) {
    if (slot == kContactSlot) rf_ContactCpuCard_Power_OnOff(reader.address, 0);
    reader.slots[slot].powered = false;
}

Bytes contactTransmit(Reader& reader, int slot, const Bytes& apdu) {
    unsigned char response[255];
    unsigned char length = 0;
    if (apdu.empty() || apdu.size() > 250) return {};
    if (rf_sam_cos_2(reader.address, moduleOf(slot), apdu.data(), static_cast<unsigned char>(apdu.size()), response,
                     &length) != 0) {
        return {};
    }
    return Bytes(response, response + length);
}

}  // namespace kvpcsc
