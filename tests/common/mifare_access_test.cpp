// Access conditions against trailer values published for well-known sector
// configurations (each checked by hand against the bit layout of bytes
// 6-8), and the rights tables as the card's datasheet gives them
// (support/mifare_rights.h).
#include <gtest/gtest.h>

#include <string>

#include "mifare_access.h"
#include "support/mifare_rights.h"

namespace {

namespace mifare = common::mifare;
using mifare::Conditions;
using mifare::DataOp;
using mifare::Key;
using mifare::TrailerOp;

struct Published {
    const char* what;
    std::array<std::uint8_t, 3> bytes;
    Conditions conditions;  // groups 0, 1, 2, trailer as C1C2C3
};

const Published kPublished[] = {
    {"transport configuration (FF 07 80 69)", {0xFF, 0x07, 0x80}, {0b000, 0b000, 0b000, 0b001}},
    {"directory sector written with key B (78 77 88)", {0x78, 0x77, 0x88}, {0b100, 0b100, 0b100, 0b011}},
    {"public data sector, trailer by key B (7F 07 88)", {0x7F, 0x07, 0x88}, {0b000, 0b000, 0b000, 0b011}},
    {"read-only sector (07 8F 0F)", {0x07, 0x8F, 0x0F}, {0b010, 0b010, 0b010, 0b110}},
};

TEST(MifareAccess, PublishedTrailersDecodeAndEncode) {
    for (const Published& p : kPublished) {
        SCOPED_TRACE(p.what);
        const auto decoded = mifare::decodeAccess(p.bytes.data());
        ASSERT_TRUE(decoded);
        EXPECT_EQ(*decoded, p.conditions);
        EXPECT_EQ(mifare::encodeAccess(p.conditions), p.bytes);
    }
}

TEST(MifareAccess, EveryCombinationRoundTrips) {
    for (unsigned n = 0; n < 4096; ++n) {
        const Conditions c{static_cast<std::uint8_t>(n & 7), static_cast<std::uint8_t>(n >> 3 & 7),
                           static_cast<std::uint8_t>(n >> 6 & 7), static_cast<std::uint8_t>(n >> 9 & 7)};
        const auto bytes = mifare::encodeAccess(c);
        ASSERT_TRUE(mifare::accessConsistent(bytes.data())) << n;
        EXPECT_EQ(mifare::conditionsOf(bytes.data()), c) << n;
    }
}

TEST(MifareAccess, DisagreeingCopiesMakeTheSectorUnusable) {
    for (int bit = 0; bit < 24; ++bit) {
        std::array<std::uint8_t, 3> bytes{0xFF, 0x07, 0x80};
        bytes[bit / 8] ^= static_cast<std::uint8_t>(1 << (bit % 8));
        EXPECT_FALSE(mifare::accessConsistent(bytes.data())) << "bit " << bit;
        EXPECT_FALSE(mifare::decodeAccess(bytes.data())) << "bit " << bit;
    }
    // The conditions still read from the plain copies, for showing them:
    // C2 of group 0 set in byte 8, its inverted copy in byte 6 not cleared.
    const std::uint8_t bad[] = {0xFF, 0x07, 0x81};
    EXPECT_EQ(mifare::conditionsOf(bad)[0], 0b010);
    EXPECT_EQ(mifare::conditionsOf(bad)[3], 0b001);
}

bool may(const std::string& who, Key key) { return kvtest::mayUse(who, key == Key::A ? 'A' : 'B'); }

TEST(MifareAccess, DataBlockRights) {
    for (const kvtest::DataRights& row : kvtest::kDataRights) {
        SCOPED_TRACE(mifare::conditionText(row.condition));
        EXPECT_STREQ(mifare::whoMay(row.condition, DataOp::read), row.read);
        EXPECT_STREQ(mifare::whoMay(row.condition, DataOp::write), row.write);
        EXPECT_STREQ(mifare::whoMay(row.condition, DataOp::increment), row.increment);
        EXPECT_STREQ(mifare::whoMay(row.condition, DataOp::decrement), row.decrement);
        for (const Key key : {Key::A, Key::B}) {
            EXPECT_EQ(mifare::dataAllowed(row.condition, DataOp::read, key), may(row.read, key));
            EXPECT_EQ(mifare::dataAllowed(row.condition, DataOp::write, key), may(row.write, key));
            EXPECT_EQ(mifare::dataAllowed(row.condition, DataOp::increment, key), may(row.increment, key));
            EXPECT_EQ(mifare::dataAllowed(row.condition, DataOp::decrement, key), may(row.decrement, key));
        }
    }
}

TEST(MifareAccess, TrailerRights) {
    for (const kvtest::TrailerRights& row : kvtest::kTrailerRights) {
        SCOPED_TRACE(mifare::conditionText(row.condition));
        EXPECT_STREQ(mifare::whoMay(row.condition, TrailerOp::writeKeyA), row.write_key_a);
        EXPECT_STREQ(mifare::whoMay(row.condition, TrailerOp::readAccess), row.read_access);
        EXPECT_STREQ(mifare::whoMay(row.condition, TrailerOp::writeAccess), row.write_access);
        EXPECT_STREQ(mifare::whoMay(row.condition, TrailerOp::readKeyB), row.read_key_b);
        EXPECT_STREQ(mifare::whoMay(row.condition, TrailerOp::writeKeyB), row.write_key_b);
        EXPECT_EQ(mifare::keyBReadable(row.condition), std::string(row.read_key_b) != "-");
        for (const Key key : {Key::A, Key::B}) {
            EXPECT_EQ(mifare::trailerAllowed(row.condition, TrailerOp::writeKeyB, key), may(row.write_key_b, key));
            EXPECT_EQ(mifare::trailerAllowed(row.condition, TrailerOp::readAccess, key), may(row.read_access, key));
        }
    }
    EXPECT_EQ(mifare::conditionText(0b010), "010");
}

TEST(MifareAccess, PermanentTrailerConditions) {
    // Write access bits "never" in the datasheet's trailer table: 000, 010, 100, 110, 111.
    for (std::uint8_t c = 0; c < 8; ++c) {
        const bool permanent = c == 0 || c == 2 || c == 4 || c == 6 || c == 7;
        EXPECT_EQ(mifare::accessPermanent(c), permanent) << mifare::conditionText(c);
    }
}

}  // namespace
