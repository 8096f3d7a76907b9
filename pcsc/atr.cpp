#include "atr.h"

namespace kvpcsc {
namespace {

constexpr std::size_t kMaxHistorical = 15;

// 3B 8n 80 01 <historical> TCK, TCK the XOR of every byte after TS.
Bytes contactlessAtr(const Bytes& historical) {
    Bytes atr;
    atr.reserve(historical.size() + 5);
    atr.push_back(0x3B);
    atr.push_back(static_cast<std::uint8_t>(0x80 | historical.size()));
    atr.push_back(0x80);
    atr.push_back(0x01);
    for (std::uint8_t byte : historical) atr.push_back(byte);
    std::uint8_t tck = 0;
    for (std::size_t i = 1; i < atr.size(); ++i) tck ^= atr[i];
    atr.push_back(tck);
    return atr;
}

}  // namespace

Bytes storageCardAtr(StorageCard card) {
    const auto name = static_cast<std::uint16_t>(card);
    return contactlessAtr({0x80, 0x4F, 0x0C, 0xA0, 0x00, 0x00, 0x03, 0x06, 0x03,
                           static_cast<std::uint8_t>(name >> 8), static_cast<std::uint8_t>(name), 0x00, 0x00,
                           0x00, 0x00});
}

Bytes typeAAtr(const Bytes& ats) {
    // TL, T0 (bits 4-6: TA, TB, TC follow), the interface bytes, then the
    // historical bytes up to TL (a CRC, if the reader passed one, is cut).
    if (ats.empty() || ats[0] > ats.size() || ats[0] == 0) return {};
    std::size_t start = 1;
    if (ats[0] >= 2) {
        start = 2;
        for (std::uint8_t bit = 0x10; bit <= 0x40; bit = static_cast<std::uint8_t>(bit << 1)) {
            if (ats[1] & bit) ++start;
        }
    }
    if (start > ats[0]) return {};
    const std::size_t count = ats[0] - start;
    if (count > kMaxHistorical) return {};
    return contactlessAtr(Bytes(ats.begin() + static_cast<std::ptrdiff_t>(start),
                                ats.begin() + static_cast<std::ptrdiff_t>(start + count)));
}

Bytes typeBAtr(const Bytes& atqb, std::uint8_t mbli) {
    if (atqb.size() != 12) return {};
    Bytes historical(atqb.begin() + 5, atqb.end());  // application data (4), protocol info (3)
    historical.push_back(static_cast<std::uint8_t>(mbli << 4));
    return contactlessAtr(historical);
}

}  // namespace kvpcsc
