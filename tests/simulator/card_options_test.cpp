// The card-option readers every card type uses: one rule for numbers and
// hex, and a refusal that names the option.
#include <gtest/gtest.h>

#include <string>

#include "cards/card_options.h"
#include "server/families.h"

namespace {

using sim::CardOptions;

TEST(CardOptionNumber, DecimalAndHexWithinTheRange) {
    const CardOptions options = {{"a", "255"}, {"b", "0x1F"}, {"c", "0XFF"}, {"d", "0"}, {"e", "010"}};
    unsigned long a = 1, b = 1, c = 1, d = 1, e = 1, absent = 42;
    std::string why;
    ASSERT_TRUE(sim::numberOption(options, "a", 0, 255, &a, &why)) << why;
    ASSERT_TRUE(sim::numberOption(options, "b", 0, 255, &b, &why)) << why;
    ASSERT_TRUE(sim::numberOption(options, "c", 0, 255, &c, &why)) << why;
    ASSERT_TRUE(sim::numberOption(options, "d", 0, 255, &d, &why)) << why;
    ASSERT_TRUE(sim::numberOption(options, "e", 0, 255, &e, &why)) << why;  // decimal, not octal
    ASSERT_TRUE(sim::numberOption(options, "absent", 0, 255, &absent, &why));
    EXPECT_EQ(a, 255u);
    EXPECT_EQ(b, 31u);
    EXPECT_EQ(c, 255u);
    EXPECT_EQ(d, 0u);
    EXPECT_EQ(e, 10u);
    EXPECT_EQ(absent, 42u);
}

TEST(CardOptionNumber, RefusesAnythingButDigitsAndNamesTheOption) {
    for (const char* bad : {"", " 5", "+5", "-1", "-0", "5 ", "5x", "0x", "0x+1", "0x 1", "1e2", "256", "0x100",
                            "99999999999999999999999"}) {
        unsigned long value = 7;
        std::string why;
        EXPECT_FALSE(sim::numberOption({{"authlim", bad}}, "authlim", 0, 255, &value, &why)) << "'" << bad << "'";
        EXPECT_EQ(value, 7u) << bad;
        EXPECT_EQ(why, std::string("authlim must be a number from 0 to 255 (decimal, or hex after 0x), not '") + bad +
                           "'");
    }
    unsigned long value = 7;
    std::string why;
    EXPECT_FALSE(sim::numberOption({{"tries", "0"}}, "tries", 1, 15, &value, &why));  // below the minimum
    EXPECT_EQ(why, "tries must be a number from 1 to 15 (decimal, or hex after 0x), not '0'");
}

TEST(CardOptionHex, SizesAndRanges) {
    sim::Bytes uid{1}, pin{2};
    std::string why;
    EXPECT_TRUE(sim::hexOption({{"uid", "04112233445566"}}, "uid", {4, 7, 10}, &uid, &why)) << why;
    EXPECT_EQ(uid, (sim::Bytes{0x04, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66}));
    EXPECT_FALSE(sim::hexOption({{"uid", "0411223344"}}, "uid", {4, 7, 10}, &uid, &why));
    EXPECT_EQ(why, "uid must be 4, 7 or 10 bytes of hex");
    EXPECT_FALSE(sim::hexOption({{"afi", "1G"}}, "afi", {1}, &uid, &why));
    EXPECT_EQ(why, "afi must be 1 byte of hex");
    EXPECT_EQ(uid.size(), 7u);  // untouched by the refusals

    EXPECT_TRUE(sim::hexOption({{"pin", "12345678"}}, "pin", 1, 8, &pin, &why)) << why;
    EXPECT_EQ(pin, (sim::Bytes{0x12, 0x34, 0x56, 0x78}));
    EXPECT_FALSE(sim::hexOption({{"pin", "112233445566778899"}}, "pin", 1, 8, &pin, &why));
    EXPECT_EQ(why, "pin must be 1 to 8 bytes of hex");
    EXPECT_FALSE(sim::hexOption({{"pin", ""}}, "pin", 1, 8, &pin, &why));
    EXPECT_TRUE(sim::hexOption({}, "pin", 1, 8, &pin, &why));
    EXPECT_EQ(pin.size(), 4u);
}

TEST(CardOptionNames, UnknownOptionIsNamed) {
    std::string why;
    EXPECT_TRUE(sim::onlyOptions({{"uid", "01"}, {"dump", "x"}}, {"uid", "dump"}, &why));
    EXPECT_FALSE(sim::onlyOptions({{"uid", "01"}, {"ui", "01"}}, {"uid", "dump"}, &why));
    EXPECT_EQ(why, "unknown option 'ui'");
}

// Every card type reads its numbers by the one rule, and key ids stop at 15.
TEST(CardOptionsInTheCatalogue, EveryCardTypeRefusesSignsAndSpaces) {
    const sim::CardCatalog catalog = sim::fullCatalog();
    const auto refusal = [&](const std::string& spec) {
        std::string type, why;
        sim::CardOptions options;
        if (!sim::parseCardSpec(spec, &type, &options, &why)) return "spec: " + why;
        return catalog.make(type, options, &why) ? std::string("made") : why;
    };
    EXPECT_EQ(refusal("cpu-a:tries=+3"), "tries must be a number from 1 to 15 (decimal, or hex after 0x), not '+3'");
    EXPECT_EQ(refusal("sam:slot= 2"), "slot must be a number from 1 to 6 (decimal, or hex after 0x), not ' 2'");
    EXPECT_EQ(refusal("contact:balance=-0"),
              "balance must be a number from 0 to 2147483647 (decimal, or hex after 0x), not '-0'");
    EXPECT_EQ(refusal("ultralightc:auth0= 16"),
              "auth0 must be a number from 0 to 255 (decimal, or hex after 0x), not ' 16'");
    EXPECT_EQ(refusal("ntag213:authlim=+7"),
              "authlim must be a number from 0 to 7 (decimal, or hex after 0x), not '+7'");
    EXPECT_EQ(refusal("cpu-a:key16=00112233445566778899AABBCCDDEEFF"), "unknown option 'key16'");
    EXPECT_EQ(refusal("idcard-b:key1=00112233445566778899AABBCCDDEEFF"), "unknown option 'key1'");
    EXPECT_EQ(refusal("cpu-a:uid=0102030405"), "uid must be 4, 7 or 10 bytes of hex");
    EXPECT_EQ(refusal("ultralightc:auth0=0x10,readprotect=1,key=00112233445566778899AABBCCDDEEFF"), "made");
    EXPECT_EQ(refusal("sam:slot=6,key15=0011223344556677,tries=0xF"), "made");
}

}  // namespace
