// The one hex rule of every program: separators only between bytes, one
// optional 0x, odd digits refused.
#include <gtest/gtest.h>

#include "hex.h"

namespace {

using common::Bytes;

Bytes parsed(const std::string& text) {
    Bytes out{0xEE};
    std::string why;
    EXPECT_TRUE(common::parseHex(text, &out, &why)) << text << ": " << why;
    return out;
}

TEST(Hex, SeparatorsBetweenBytesAndOnePrefix) {
    EXPECT_EQ(parsed("0a1B"), (Bytes{0x0A, 0x1B}));
    EXPECT_EQ(parsed("0A 1B:2c-3D\t4e"), (Bytes{0x0A, 0x1B, 0x2C, 0x3D, 0x4E}));
    EXPECT_EQ(parsed("  0A  1B  "), (Bytes{0x0A, 0x1B}));
    EXPECT_EQ(parsed("0x00ff10"), (Bytes{0x00, 0xFF, 0x10}));
    EXPECT_EQ(parsed("0X00"), (Bytes{0x00}));
    EXPECT_EQ(parsed(""), Bytes{});
    EXPECT_EQ(parsed(" : "), Bytes{});
}

TEST(Hex, RefusesWithAReasonAndLeavesTheOutputAlone) {
    const std::pair<const char*, const char*> bad[] = {
        {"ABC", "odd number of hex digits"},
        {"0G", "'G' is not a hex digit"},
        {"A BC", "a separator splits a byte"},
        {"0A-B", "odd number of hex digits"},
        {"0x0A 0x1B", "'x' is not a hex digit"},
        {"0A,1B", "',' is not a hex digit"},
        {"0A\n1B", "is not a hex digit"},
    };
    for (const auto& [text, reason] : bad) {
        Bytes out{0xEE};
        std::string why;
        EXPECT_FALSE(common::parseHex(text, &out, &why)) << text;
        EXPECT_NE(why.find(reason), std::string::npos) << text << ": " << why;
        EXPECT_EQ(why.rfind(std::string("'") + text + "'", 0), 0u) << why;
        EXPECT_EQ(out, Bytes{0xEE}) << text;
    }
    EXPECT_EQ(parsed("0x"), Bytes{});  // the prefix alone is no bytes
}

TEST(Hex, FormatsUpperCaseWithAnOptionalSeparator) {
    const Bytes bytes{0x00, 0x0F, 0xA5, 0xFF};
    EXPECT_EQ(common::toHex(bytes), "000FA5FF");
    EXPECT_EQ(common::toHex(bytes, " "), "00 0F A5 FF");
    EXPECT_EQ(common::toHex(bytes, ":"), "00:0F:A5:FF");
    EXPECT_EQ(common::toHex(Bytes{}), "");
    EXPECT_EQ(parsed(common::toHex(bytes, " ")), bytes);
}

}  // namespace
