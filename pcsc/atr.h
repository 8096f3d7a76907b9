// Answers to reset for contactless cards, built the way PC/SC hosts expect
// them from a contactless reader: 3B 8n 80 01, n historical bytes, TCK.
#ifndef KOVALINK_PCSC_ATR_H
#define KOVALINK_PCSC_ATR_H

#include <cstdint>
#include <vector>

namespace kvpcsc {

using Bytes = std::vector<std::uint8_t>;

// Card-name bytes of a storage card (standard byte 0x03, ISO14443A part 3).
enum class StorageCard : std::uint16_t {
    mifare1k = 0x0001,
    mifare4k = 0x0002,
    ultralight = 0x0003,
    mifareMini = 0x0026,
};

// The ATR of a storage card: the registered application identifier with
// the standard byte and the card name as historical bytes.
Bytes storageCardAtr(StorageCard card);

// The ATR of an ISO14443-4 type A card: the historical bytes of its ATS
// (an ATS without historical bytes gives an ATR without them). Empty when
// the ATS is malformed.
Bytes typeAAtr(const Bytes& ats);

// The ATR of a type B card: application data and protocol information of
// its 12-byte ATQB, then the MBLI byte of the ATTRIB answer (0 when the
// reader does not report it). Empty when the ATQB is not 12 bytes.
Bytes typeBAtr(const Bytes& atqb, std::uint8_t mbli);

}  // namespace kvpcsc

#endif
