// Mifare Classic layout arithmetic for every card size, the large sectors
// of the 4K card included.
#include <gtest/gtest.h>

#include "mifare_layout.h"

namespace {

using common::mifare::Layout;

TEST(MifareLayout, SizesOfTheCards) {
    EXPECT_EQ(common::mifare::kMini.blocks(), 20u);
    EXPECT_EQ(common::mifare::k1K.blocks(), 64u);
    EXPECT_EQ(common::mifare::k2K.blocks(), 128u);
    EXPECT_EQ(common::mifare::k4K.blocks(), 256u);
    EXPECT_EQ(common::mifare::k4K.bytes(), 4096u);
    EXPECT_EQ(common::mifare::layoutOfBlocks(64)->sectors, 16u);
    EXPECT_EQ(common::mifare::layoutOfBlocks(256)->sectors, 40u);
    EXPECT_FALSE(common::mifare::layoutOfBlocks(63));
    EXPECT_FALSE(common::mifare::layoutOfBlocks(0));
}

TEST(MifareLayout, SmallSectorsOfFourBlocks) {
    const Layout& k1 = common::mifare::k1K;
    EXPECT_EQ(k1.firstBlock(0), 0u);
    EXPECT_EQ(k1.trailer(0), 3u);
    EXPECT_EQ(k1.firstBlock(15), 60u);
    EXPECT_EQ(k1.trailer(15), 63u);
    EXPECT_EQ(k1.sectorOf(63), 15u);
    EXPECT_EQ(k1.sectorOf(4), 1u);
    EXPECT_TRUE(k1.isTrailer(7));
    EXPECT_FALSE(k1.isTrailer(8));
    EXPECT_TRUE(k1.contains(63));
    EXPECT_FALSE(k1.contains(64));
    EXPECT_EQ(k1.accessGroup(4), 0u);
    EXPECT_EQ(k1.accessGroup(6), 2u);
    EXPECT_EQ(k1.accessGroup(7), 3u);
}

TEST(MifareLayout, LargeSectorsOfTheFourKCard) {
    const Layout& k4 = common::mifare::k4K;
    EXPECT_EQ(k4.firstBlock(31), 124u);
    EXPECT_EQ(k4.trailer(31), 127u);
    EXPECT_EQ(k4.firstBlock(32), 128u);
    EXPECT_EQ(k4.blockCount(32), 16u);
    EXPECT_EQ(k4.trailer(32), 143u);
    EXPECT_EQ(k4.firstBlock(33), 144u);
    EXPECT_EQ(k4.firstBlock(39), 240u);
    EXPECT_EQ(k4.trailer(39), 255u);
    EXPECT_EQ(k4.sectorOf(127), 31u);
    EXPECT_EQ(k4.sectorOf(128), 32u);
    EXPECT_EQ(k4.sectorOf(143), 32u);
    EXPECT_EQ(k4.sectorOf(255), 39u);
    EXPECT_TRUE(k4.isTrailer(143));
    EXPECT_FALSE(k4.isTrailer(131));  // would be a trailer in a 4-block sector
    // Groups of five blocks, then the trailer.
    EXPECT_EQ(k4.accessGroup(128), 0u);
    EXPECT_EQ(k4.accessGroup(132), 0u);
    EXPECT_EQ(k4.accessGroup(133), 1u);
    EXPECT_EQ(k4.accessGroup(138), 2u);
    EXPECT_EQ(k4.accessGroup(142), 2u);
    EXPECT_EQ(k4.accessGroup(143), 3u);
    EXPECT_EQ(k4.accessGroup(255), 3u);
}

}  // namespace
