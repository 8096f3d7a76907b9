// Value blocks: value, inverted value, value, and the address byte four
// times, least significant byte first.
#include <gtest/gtest.h>

#include "value_block.h"

namespace {

using common::Bytes;

TEST(ValueBlock, LayoutOfKnownValues) {
    EXPECT_EQ(common::mifare::valueBlock(100, 4), (Bytes{0x64, 0x00, 0x00, 0x00, 0x9B, 0xFF, 0xFF, 0xFF, 0x64, 0x00,
                                                         0x00, 0x00, 0x04, 0xFB, 0x04, 0xFB}));
    EXPECT_EQ(common::mifare::valueBlock(-1, 0x80), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF,
                                                          0xFF, 0xFF, 0x80, 0x7F, 0x80, 0x7F}));
    EXPECT_EQ(common::mifare::valueBlock(1234567, 0x11),
              (Bytes{0x87, 0xD6, 0x12, 0x00, 0x78, 0x29, 0xED, 0xFF, 0x87, 0xD6, 0x12, 0x00, 0x11, 0xEE, 0x11, 0xEE}));
    EXPECT_EQ(common::mifare::valueBlock(INT32_MIN, 0)[3], 0x80);
}

TEST(ValueBlock, ParsesWellFormedBlocksOnly) {
    const Bytes block{0x78, 0x56, 0x34, 0x12, 0x87, 0xA9, 0xCB, 0xED, 0x78, 0x56, 0x34, 0x12, 0x09, 0xF6, 0x09, 0xF6};
    std::int32_t value = 0;
    std::uint8_t address = 0;
    ASSERT_TRUE(common::mifare::parseValueBlock(block.data(), &value, &address));
    EXPECT_EQ(value, 0x12345678);
    EXPECT_EQ(address, 0x09);
    // Any one byte changed breaks one of the copies.
    for (std::size_t i = 0; i < block.size(); ++i) {
        Bytes spoiled = block;
        spoiled[i] ^= 0x01;
        value = 7;
        address = 7;
        EXPECT_FALSE(common::mifare::parseValueBlock(spoiled.data(), &value, &address)) << "byte " << i;
        EXPECT_EQ(value, 7);
        EXPECT_EQ(address, 7);
    }
    ASSERT_TRUE(common::mifare::parseValueBlock(common::mifare::valueBlock(-5, 9).data(), &value, &address));
    EXPECT_EQ(value, -5);
    EXPECT_EQ(address, 9);
}

}  // namespace
