// pcscd's driver interface (version 3) for the Kovalink reader. One reader
// per driver: the command library opens one device per process. Slots are
// described in slots.h; pcscd may call from several threads, so every entry
// point holds the reader's lock.
#include <KovalinkHID.h>
// pcsc-lite's driver headers declare the entry points without C linkage.
extern "C" {
#include <PCSC/ifdhandler.h>
#include <PCSC/reader.h>
}

#include <cstdio>
#include <cstring>
#include <mutex>

#include "slots.h"

namespace {

constexpr int kDefaultVendor = 0x1A86;
constexpr int kDefaultProduct = 0xE010;
// SCARD_CTL_CODE(3400): the reader lists its optional features (none).
constexpr DWORD kGetFeatureRequest = 0x42000000 + 3400;

std::mutex g_lock;
bool g_open = false;
DWORD g_reader = 0;  // Lun >> 16 of the open reader
kvpcsc::Reader g_state;

int slotOf(DWORD lun) { return static_cast<int>(lun & 0xFFFF); }

bool ours(DWORD lun) { return g_open && (lun >> 16) == g_reader && slotOf(lun) < kvpcsc::kSlotCount; }

// "usb:1a86/e010[:...]" as pcscd's hotplug names devices, or
// "virtual:1a86/e010" for the simulated reader; other names take the
// reader's usual ids.
void parseIds(const char* name, int* vendor, int* product) {
    *vendor = kDefaultVendor;
    *product = kDefaultProduct;
    if (name == nullptr) return;
    const char* ids = std::strchr(name, ':');
    unsigned int v = 0, p = 0;
    if (ids != nullptr && std::sscanf(ids + 1, "%4x/%4x", &v, &p) == 2) {
        *vendor = static_cast<int>(v);
        *product = static_cast<int>(p);
    }
}

RESPONSECODE copyOut(const kvpcsc::Bytes& data, PUCHAR out, PDWORD length) {
    if (data.empty() || *length < data.size()) return IFD_COMMUNICATION_ERROR;
    std::memcpy(out, data.data(), data.size());
    *length = static_cast<DWORD>(data.size());
    return IFD_SUCCESS;
}

RESPONSECODE giveValue(DWORD value, PDWORD length, PUCHAR out) {
    if (*length < 1) return IFD_ERROR_INSUFFICIENT_BUFFER;
    *out = static_cast<UCHAR>(value);
    *length = 1;
    return IFD_SUCCESS;
}

}  // namespace

extern "C" {

RESPONSECODE IFDHCreateChannelByName(DWORD Lun, LPSTR DeviceName) {
    std::lock_guard<std::mutex> hold(g_lock);
    // pcscd opens each further slot of the reader with the same reader number.
    if (g_open) return (Lun >> 16) == g_reader && slotOf(Lun) < kvpcsc::kSlotCount ? IFD_SUCCESS : IFD_COMMUNICATION_ERROR;
    int vendor = 0, product = 0;
    parseIds(DeviceName, &vendor, &product);
    if (rf_init_com(0, vendor, product) != 0) return IFD_NO_SUCH_DEVICE;
    unsigned short address = 0;
    g_state = kvpcsc::Reader{};
    if (rf_get_device_number(0, &address) == 0) g_state.address = address;
    rf_antenna_sta(g_state.address, 1);
    g_open = true;
    g_reader = Lun >> 16;
    return IFD_SUCCESS;
}

RESPONSECODE IFDHCreateChannel(DWORD Lun, DWORD Channel) {
    (void)Channel;
    return IFDHCreateChannelByName(Lun, nullptr);
}

RESPONSECODE IFDHCloseChannel(DWORD Lun) {
    std::lock_guard<std::mutex> hold(g_lock);
    if (!ours(Lun)) return IFD_SUCCESS;
    // Every slot is closed in turn; the reader goes with the contactless slot.
    if (slotOf(Lun) != kvpcsc::kContactlessSlot) return IFD_SUCCESS;
    rf_ClosePort();
    g_open = false;
    return IFD_SUCCESS;
}

RESPONSECODE IFDHGetCapabilities(DWORD Lun, DWORD Tag, PDWORD Length, PUCHAR Value) {
    std::lock_guard<std::mutex> hold(g_lock);
    if (!ours(Lun)) return IFD_COMMUNICATION_ERROR;
    switch (Tag) {
    case TAG_IFD_ATR:
    case SCARD_ATTR_ATR_STRING: {
        const kvpcsc::Bytes& atr = g_state.slots[slotOf(Lun)].atr;
        if (atr.empty()) {
            *Length = 0;
            return IFD_SUCCESS;
        }
        return copyOut(atr, Value, Length) == IFD_SUCCESS ? IFD_SUCCESS : IFD_ERROR_INSUFFICIENT_BUFFER;
    }
    case TAG_IFD_SLOTS_NUMBER: return giveValue(kvpcsc::kSlotCount, Length, Value);
    case TAG_IFD_SIMULTANEOUS_ACCESS: return giveValue(1, Length, Value);
    case TAG_IFD_THREAD_SAFE:
    case TAG_IFD_SLOT_THREAD_SAFE: return giveValue(0, Length, Value);
    default: return IFD_ERROR_TAG;
    }
}

RESPONSECODE IFDHSetCapabilities(DWORD Lun, DWORD Tag, DWORD Length, PUCHAR Value) {
    (void)Lun, (void)Tag, (void)Length, (void)Value;
    return IFD_ERROR_VALUE_READ_ONLY;
}

// The reader settles the protocol with the card itself; T=0 and T=1 are both
// carried as whole APDUs.
RESPONSECODE IFDHSetProtocolParameters(DWORD Lun, DWORD Protocol, UCHAR Flags, UCHAR PTS1, UCHAR PTS2, UCHAR PTS3) {
    (void)Flags, (void)PTS1, (void)PTS2, (void)PTS3;
    std::lock_guard<std::mutex> hold(g_lock);
    if (!ours(Lun)) return IFD_COMMUNICATION_ERROR;
    if (Protocol != SCARD_PROTOCOL_T0 && Protocol != SCARD_PROTOCOL_T1) return IFD_PROTOCOL_NOT_SUPPORTED;
    return IFD_SUCCESS;
}

RESPONSECODE IFDHPowerICC(DWORD Lun, DWORD Action, PUCHAR Atr, PDWORD AtrLength) {
    std::lock_guard<std::mutex> hold(g_lock);
    const DWORD room = AtrLength ? *AtrLength : 0;
    if (AtrLength) *AtrLength = 0;
    if (!ours(Lun)) return IFD_COMMUNICATION_ERROR;
    const int slot = slotOf(Lun);
    if (Action == IFD_POWER_DOWN) {
        if (slot == kvpcsc::kContactlessSlot) kvpcsc::contactlessPowerDown(g_state);
        else kvpcsc::contactPowerDown(g_state, slot);
        return IFD_SUCCESS;
    }
    if (Action != IFD_POWER_UP && Action != IFD_RESET) return IFD_NOT_SUPPORTED;
    const bool on = slot == kvpcsc::kContactlessSlot ? kvpcsc::contactlessActivate(g_state)
                                                      : kvpcsc::contactPowerUp(g_state, slot);
    if (!on) return IFD_ERROR_POWER_ACTION;
    DWORD length = room;
    if (copyOut(g_state.slots[slot].atr, Atr, &length) != IFD_SUCCESS) return IFD_ERROR_POWER_ACTION;
    *AtrLength = length;
    return IFD_SUCCESS;
}

RESPONSECODE IFDHTransmitToICC(DWORD Lun, SCARD_IO_HEADER SendPci, PUCHAR TxBuffer, DWORD TxLength, PUCHAR RxBuffer,
                               PDWORD RxLength, PSCARD_IO_HEADER RecvPci) {
    (void)SendPci, (void)RecvPci;
    std::lock_guard<std::mutex> hold(g_lock);
    const DWORD room = *RxLength;
    *RxLength = 0;
    if (!ours(Lun)) return IFD_COMMUNICATION_ERROR;
    const int slot = slotOf(Lun);
    if (!g_state.slots[slot].powered) return IFD_ICC_NOT_PRESENT;
    const kvpcsc::Bytes apdu(TxBuffer, TxBuffer + TxLength);
    const kvpcsc::Bytes answer = slot == kvpcsc::kContactlessSlot ? kvpcsc::contactlessTransmit(g_state, apdu)
                                                                   : kvpcsc::contactTransmit(g_state, slot, apdu);
    if (answer.empty()) return IFD_COMMUNICATION_ERROR;
    if (answer.size() > room) return IFD_ERROR_INSUFFICIENT_BUFFER;
    std::memcpy(RxBuffer, answer.data(), answer.size());
    *RxLength = static_cast<DWORD>(answer.size());
    return IFD_SUCCESS;
}

RESPONSECODE IFDHControl(DWORD Lun, DWORD dwControlCode, PUCHAR TxBuffer, DWORD TxLength, PUCHAR RxBuffer,
                         DWORD RxLength, LPDWORD pdwBytesReturned) {
    (void)TxBuffer, (void)TxLength, (void)RxBuffer, (void)RxLength;
    std::lock_guard<std::mutex> hold(g_lock);
    if (pdwBytesReturned) *pdwBytesReturned = 0;
    if (!ours(Lun)) return IFD_COMMUNICATION_ERROR;
    if (dwControlCode == kGetFeatureRequest) return IFD_SUCCESS;  // no PIN pad, no display features
    return IFD_ERROR_NOT_SUPPORTED;
}

RESPONSECODE IFDHICCPresence(DWORD Lun) {
    std::lock_guard<std::mutex> hold(g_lock);
    if (!ours(Lun)) return IFD_COMMUNICATION_ERROR;
    const int slot = slotOf(Lun);
    const bool here = slot == kvpcsc::kContactlessSlot ? kvpcsc::contactlessPresent(g_state)
                                                        : kvpcsc::contactPresent(g_state, slot);
    return here ? IFD_ICC_PRESENT : IFD_ICC_NOT_PRESENT;
}

}  // extern "C"
