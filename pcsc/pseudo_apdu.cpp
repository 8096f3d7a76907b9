// Class FF commands that contactless PC/SC readers run themselves: get data
// (UID, ATS), load keys, general authenticate, read and update binary on
// Mifare Classic and Ultralight-family cards, and the value-block commands
// of Mifare Classic.
#include <KovalinkHID.h>

#include <cstring>

#include "slots.h"

namespace kvpcsc {
namespace {

constexpr unsigned char kKeyA = 0x60;
constexpr unsigned char kKeyB = 0x61;
constexpr std::size_t kBlock = 16;
constexpr std::size_t kPage = 4;

const Bytes kOk = {0x90, 0x00};
const Bytes kFailed = {0x63, 0x00};          // the card refused or did not answer
const Bytes kWrongLength = {0x67, 0x00};
const Bytes kNotSupported = {0x6A, 0x81};
const Bytes kWrongP1P2 = {0x6B, 0x00};
const Bytes kBadInstruction = {0x6D, 0x00};
const Bytes kIncompatible = {0x69, 0x81};    // command not for this card type
const Bytes kNoKey = {0x69, 0x86};           // general authenticate names an empty key slot

Bytes withOk(Bytes data) {
    data.insert(data.end(), kOk.begin(), kOk.end());
    return data;
}

// Le of a short APDU with no data: 0 asks for everything.
Bytes answerUpTo(const Bytes& data, std::uint8_t le) {
    if (le == 0 || le == data.size()) return withOk(data);
    if (le < data.size()) return sw(0x6C, static_cast<std::uint8_t>(data.size()));
    return withOk(data);
}

Bytes getData(Reader& reader, const Bytes& apdu) {
    if (apdu.size() != 5 || apdu[3] != 0) return kWrongP1P2;
    if (apdu[2] == 0x00) return answerUpTo(reader.card.uid, apdu[4]);
    if (apdu[2] == 0x01) {
        if (reader.card.kind != CardKind::typeA4) return kNotSupported;
        return answerUpTo(reader.card.ats, apdu[4]);
    }
    return kWrongP1P2;
}

// FF 82 00 slot 06 key: the key goes into the driver's volatile slot 0 or 1.
Bytes loadKey(Reader& reader, const Bytes& apdu) {
    if (apdu.size() != 11 || apdu[4] != 6) return kWrongLength;
    if (apdu[2] != 0x00) return kNotSupported;  // only volatile keys are kept
    if (apdu[3] >= reader.keys.size()) return kWrongP1P2;
    std::array<std::uint8_t, 6> key;
    std::memcpy(key.data(), &apdu[5], key.size());
    reader.keys[apdu[3]] = key;
    return kOk;
}

Bytes authenticate(Reader& reader, unsigned char block, unsigned char key_type, unsigned char key_number) {
    if (reader.card.kind != CardKind::classic) return kIncompatible;
    if (key_type != kKeyA && key_type != kKeyB) return kWrongP1P2;
    if (key_number >= reader.keys.size()) return kWrongP1P2;
    if (!reader.keys[key_number]) return kNoKey;
    if (rf_M1_authentication2(reader.address, key_type, block, reader.keys[key_number]->data()) != 0) {
        // A failed authentication leaves the card idle: select it again for the next attempt.
        rf_halt(reader.address);
        Bytes uid;
        unsigned char atqa[2], buffer[255], length = 0, sak = 0;
        if (rf_request(reader.address, 0x52, atqa) == 0 && rf_anticoll(reader.address, 4, buffer, &length) == 0) {
            rf_select(reader.address, buffer, length, &sak);
        }
        return kFailed;
    }
    return kOk;
}

// FF 86 00 00 05 01 00 block key-type key-number, and the older FF 88 00 block key-type key-number.
Bytes generalAuthenticate(Reader& reader, const Bytes& apdu) {
    if (apdu[1] == 0x88) {
        if (apdu.size() != 6 || apdu[2] != 0) return kWrongLength;
        return authenticate(reader, apdu[3], apdu[4], apdu[5]);
    }
    if (apdu.size() != 10 || apdu[4] != 5) return kWrongLength;
    if (apdu[5] != 0x01 || apdu[6] != 0x00) return kWrongP1P2;
    return authenticate(reader, apdu[7], apdu[8], apdu[9]);
}

Bytes readBinary(Reader& reader, const Bytes& apdu) {
    if (apdu.size() != 5) return kWrongLength;
    if (apdu[2] != 0) return kWrongP1P2;
    const bool tag = reader.card.kind == CardKind::ultralight;
    if (!tag && reader.card.kind != CardKind::classic) return kIncompatible;
    unsigned char data[255];
    unsigned char length = 0;
    if (rf_M1_read(reader.address, apdu[3], data, &length) != 0 || length != kBlock) return kFailed;
    // A tag answers four pages from the one named; Le 4 takes that page only.
    const std::size_t le = apdu[4] == 0 ? kBlock : apdu[4];
    if (le > kBlock || (!tag && le != kBlock)) return sw(0x6C, static_cast<std::uint8_t>(kBlock));
    return withOk(Bytes(data, data + le));
}

Bytes updateBinary(Reader& reader, const Bytes& apdu) {
    if (apdu.size() < 5 || apdu.size() != 5u + apdu[4]) return kWrongLength;
    if (apdu[2] != 0) return kWrongP1P2;
    const unsigned char* data = &apdu[5];
    const std::size_t length = apdu[4];
    if (reader.card.kind == CardKind::classic) {
        if (length != kBlock) return kWrongLength;
        return rf_M1_write(reader.address, apdu[3], data) == 0 ? kOk : kFailed;
    }
    if (reader.card.kind != CardKind::ultralight) return kIncompatible;
    if (length == 0 || length % kPage != 0) return kWrongLength;
    for (std::size_t i = 0; i < length / kPage; ++i) {
        const auto page = static_cast<unsigned char>(apdu[3] + i);
        if (rf_ul_write(reader.address, page, data + i * kPage) != 0) return kFailed;
    }
    return kOk;
}

int valueOf(const unsigned char* be) {
    return static_cast<int>(static_cast<std::uint32_t>(be[0]) << 24 | static_cast<std::uint32_t>(be[1]) << 16 |
                            static_cast<std::uint32_t>(be[2]) << 8 | be[3]);
}

// Value blocks of Mifare Classic, values most significant byte first:
//   FF D7 00 block 05 op value(4)   op 00 store, 01 increment, 02 decrement
//   FF B1 00 block 04               read the value
//   FF D7 00 source 02 03 target    restore source and transfer to target
Bytes valueBlock(Reader& reader, const Bytes& apdu) {
    if (reader.card.kind != CardKind::classic) return kIncompatible;
    if (apdu[2] != 0) return kWrongP1P2;
    const int a = reader.address;
    const unsigned char block = apdu[3];
    if (apdu[1] == 0xB1) {
        if (apdu.size() != 5 || (apdu[4] != 4 && apdu[4] != 0)) return kWrongLength;
        int value = 0;
        if (rf_M1_readval(a, block, &value) != 0) return kFailed;
        const auto v = static_cast<std::uint32_t>(value);
        return withOk({static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
                       static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)});
    }
    if (apdu.size() == 7 && apdu[4] == 2 && apdu[5] == 0x03) {
        const bool ok = rf_M1_restore(a, block) == 0 && rf_M1_transfer(a, apdu[6]) == 0;
        return ok ? kOk : kFailed;
    }
    if (apdu.size() != 10 || apdu[4] != 5) return kWrongLength;
    const int value = valueOf(&apdu[6]);
    int status = 1;
    switch (apdu[5]) {
    case 0x00: status = rf_M1_initval(a, block, value); break;
    case 0x01: status = rf_M1_increment(a, block, value) || rf_M1_transfer(a, block); break;
    case 0x02: status = rf_M1_decrement(a, block, value) || rf_M1_transfer(a, block); break;
    default: return kWrongP1P2;
    }
    return status == 0 ? kOk : kFailed;
}

}  // namespace

Bytes pseudoApdu(Reader& reader, const Bytes& apdu) {
    if (apdu.size() < 4) return kWrongLength;
    switch (apdu[1]) {
    case 0xCA: return getData(reader, apdu);
    case 0x82: return loadKey(reader, apdu);
    case 0x86:
    case 0x88: return generalAuthenticate(reader, apdu);
    case 0xB0: return readBinary(reader, apdu);
    case 0xD6: return updateBinary(reader, apdu);
    case 0xB1:
    case 0xD7: return valueBlock(reader, apdu);
    default: return kBadInstruction;
    }
}

}  // namespace kvpcsc
