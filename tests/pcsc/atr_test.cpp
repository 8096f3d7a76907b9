// ATRs of contactless cards; the expected values are those that PC/SC
// contactless readers publish for these cards (the Mifare ones as widely
// listed in ATR tables) or were worked out by hand from the ATS/ATQB.
#include <gtest/gtest.h>

#include <cstdio>

#include "atr.h"

namespace {

using kvpcsc::Bytes;

Bytes hex(const char* text) {
    Bytes out;
    for (unsigned int byte = 0; *text; text += 2) {
        if (std::sscanf(text, "%2x", &byte) != 1) break;
        out.push_back(static_cast<std::uint8_t>(byte));
    }
    return out;
}

TEST(PcscAtr, StorageMifareAndUltralightAsListed) {
    EXPECT_EQ(kvpcsc::storageCardAtr(kvpcsc::StorageCard::mifare1k), hex("3B8F8001804F0CA000000306030001000000006A"));
    EXPECT_EQ(kvpcsc::storageCardAtr(kvpcsc::StorageCard::mifare4k), hex("3B8F8001804F0CA0000003060300020000000069"));
    EXPECT_EQ(kvpcsc::storageCardAtr(kvpcsc::StorageCard::ultralight),
              hex("3B8F8001804F0CA0000003060300030000000068"));
}

TEST(PcscAtr, TypeAHistoricalBytesFollowTheInterfaceBytes) {
    // TL 09, T0 78 (TA, TB, TC present), then "KOVA".
    EXPECT_EQ(kvpcsc::typeAAtr(hex("09788070024B4F5641")), hex("3B8480014B4F564116"));
    // Only TB present: one interface byte before the historical bytes.
    EXPECT_EQ(kvpcsc::typeAAtr(hex("0520805A4B")), hex("3B8280015A4B12"));
    // No historical bytes, and bytes after TL (a CRC) are not historical.
    EXPECT_EQ(kvpcsc::typeAAtr(hex("0578807002AAAA")), hex("3B80800101"));
}

TEST(PcscAtr, TypeAMalformedAtsGivesNoAtr) {
    EXPECT_TRUE(kvpcsc::typeAAtr({}).empty());
    EXPECT_TRUE(kvpcsc::typeAAtr(hex("09788070")).empty());  // TL beyond the bytes received
    EXPECT_TRUE(kvpcsc::typeAAtr(hex("027080")).empty());    // TA, TB, TC announced, TL ends after T0
}

TEST(PcscAtr, TypeBApplicationDataProtocolInfoAndMbli) {
    EXPECT_EQ(kvpcsc::typeBAtr(hex("5011223344E2AE3F00B38181"), 8), hex("3B888001E2AE3F00B381818049"));
    EXPECT_EQ(kvpcsc::typeBAtr(hex("501122334400000000008171"), 0), hex("3B8880010000000000817100F9"));
    EXPECT_TRUE(kvpcsc::typeBAtr(hex("5011223344E2AE3F00B381"), 0).empty());
}

}  // namespace
