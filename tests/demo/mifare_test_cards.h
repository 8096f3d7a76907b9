// Mifare Classic cards for the 1K and 4K page tests: images placed on the
// simulated card, read back from it, and the text a sector read must show
// for each block, taken from the card's image.
#pragma once

#include <QString>
#include <vector>

#include "cards/mifare_classic.h"
#include "support/torvik_session.h"

namespace mifaretest {

using Bytes = std::vector<std::uint8_t>;

// Trailer bytes 6-9: every block readable and writable with key A or B;
// access bits and key B readable with key A (key B, being readable,
// serves no operation).
const Bytes kDeliveryAccess = {0xFF, 0x07, 0x80, 0x69};
// Every block readable and writable with A or B; access bits readable, key
// B hidden, so key B authenticates.
const Bytes kKeyBAccess = {0x7F, 0x07, 0x88, 0x69};

inline Bytes keyA(int sector) { return {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, std::uint8_t(sector)}; }
inline Bytes keyB(int sector) { return {0xB0, 0xB1, 0xB2, 0xB3, 0xB4, std::uint8_t(sector)}; }
inline QString hex(const Bytes& bytes) {
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(bytes.data()), int(bytes.size())).toHex().toUpper());
}

template <typename F>
auto onCard(torviktest::TorvikSession& s, F f) {
    return s.reader()->withReader([&](sim::Reader& r) { return f(*r.field.all<sim::MifareClassic>().front()); });
}

inline Bytes image(torviktest::TorvikSession& s) {
    return onCard(s, [](sim::MifareClassic& card) { return card.image(); });
}

inline Bytes block(const Bytes& image, int number) {
    return Bytes(image.begin() + number * 16, image.begin() + number * 16 + 16);
}

// A card image with different bytes in every data block (block 0 kept),
// its own keys in every sector (keyA(s), keyB(s)) and `access` in every
// trailer.
inline void placeImage(torviktest::TorvikSession& s, const Bytes& access) {
    onCard(s, [&](sim::MifareClassic& card) {
        Bytes memory = card.image();
        for (int b = 1; b < card.blockCount(); ++b)
            for (int i = 0; i < 16; ++i) memory[std::size_t(b * 16 + i)] = std::uint8_t(b * 7 + i * 31 + 5);
        for (int sector = 0; sector < card.sectorCount(); ++sector) {
            Bytes trailer = keyA(sector);
            trailer.insert(trailer.end(), access.begin(), access.end());
            const Bytes b = keyB(sector);
            trailer.insert(trailer.end(), b.begin(), b.end());
            std::copy(trailer.begin(), trailer.end(), memory.begin() + sim::MifareClassic::trailerOf(sector) * 16);
        }
        std::string why;
        QVERIFY2(card.loadImage(memory, &why), why.c_str());
    });
}

// What a sector read shows of a trailer: key A never comes back (zeros),
// the access bits, and key B only where the access bits let it be read.
struct TrailerText {
    QString keyA, access, keyB;
};
inline TrailerText shownTrailer(const Bytes& trailer, bool keyBReadable) {
    return {QStringLiteral("000000000000"), hex(Bytes(trailer.begin() + 6, trailer.begin() + 10)),
            keyBReadable ? hex(Bytes(trailer.begin() + 10, trailer.end())) : QStringLiteral("000000000000")};
}

}  // namespace mifaretest
