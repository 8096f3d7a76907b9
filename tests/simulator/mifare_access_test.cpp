// The access-condition tables of Mifare Classic as the simulated card
// applies them: for every condition and both keys, what the card lets
// through. The expectations are written as the card's datasheet tables
// (the tables themselves: tests/common/mifare_access_test.cpp).
#include <gtest/gtest.h>

#include <string>

#include "cards/mifare_classic.h"
#include "cards/toolkit.h"
#include "support/mifare_rights.h"
#include "value_block.h"

namespace {

using sim::Bytes;
using sim::MifareClassic;
using sim::mifare::Key;

const Bytes kKeyA = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5};
const Bytes kKeyB = {0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5};

// A selected 1K card whose sector 1 has the given conditions for data
// group 0 and the trailer (other groups 000); block 4 holds value 100.
std::unique_ptr<MifareClassic> cardWith(std::uint8_t data_condition, std::uint8_t trailer_condition) {
    auto card = std::make_unique<MifareClassic>(MifareClassic::Size::k1K, Bytes{1, 2, 3, 4});
    Bytes image = card->image();
    const auto bits = sim::mifare::encodeAccess({data_condition, 0, 0, trailer_condition});
    std::copy(kKeyA.begin(), kKeyA.end(), image.begin() + 7 * 16);
    std::copy(bits.begin(), bits.end(), image.begin() + 7 * 16 + 6);
    image[7 * 16 + 9] = 0x69;
    std::copy(kKeyB.begin(), kKeyB.end(), image.begin() + 7 * 16 + 10);
    const Bytes value = sim::mifare::valueBlock(100, 4);
    std::copy(value.begin(), value.end(), image.begin() + 4 * 16);
    card->loadImage(image, nullptr);
    card->request(true);
    card->select();
    return card;
}

bool keyMay(const std::string& who, Key key) { return kvtest::mayUse(who, key == Key::A ? 'A' : 'B'); }

TEST(MifareCardAccess, DataBlockConditionsForBothKeys) {
    for (const kvtest::DataRights& row : kvtest::kDataRights) {
        for (const Key key : {Key::A, Key::B}) {
            SCOPED_TRACE("condition " + std::to_string(row.condition) + (key == Key::A ? " key A" : " key B"));
            // Trailer 011: key B is not readable, so it can authenticate.
            auto card = cardWith(row.condition, 0b011);
            ASSERT_EQ(card->authenticate(4, key, (key == Key::A ? kKeyA : kKeyB).data()), sim::kOk);
            const auto expect = [&](const char* who) { return keyMay(who, key) ? sim::kOk : sim::kAccessDenied; };
            Bytes data;
            EXPECT_EQ(card->read(4, &data), expect(row.read));
            EXPECT_EQ(card->increment(4, 1), expect(row.increment));
            EXPECT_EQ(card->decrement(4, 1), expect(row.decrement));
            EXPECT_EQ(card->restore(4), expect(row.decrement));
            EXPECT_EQ(card->write(4, Bytes(16, 0x5A).data()), expect(row.write));
        }
    }
}

TEST(MifareCardAccess, TrailerConditionsForBothKeys) {
    for (const kvtest::TrailerRights& row : kvtest::kTrailerRights) {
        const bool key_b_readable = std::string(row.read_key_b) != "-";
        for (const Key key : {Key::A, Key::B}) {
            SCOPED_TRACE("trailer condition " + std::to_string(row.condition) + (key == Key::A ? " key A" : " key B"));
            auto card = cardWith(0b000, row.condition);
            const std::uint8_t auth = card->authenticate(4, key, (key == Key::A ? kKeyA : kKeyB).data());
            if (key == Key::B && key_b_readable) {
                // Readable key B is data, not a key: it authenticates, and
                // the card refuses what follows.
                EXPECT_EQ(auth, sim::kOk);
                Bytes data;
                EXPECT_EQ(card->read(4, &data), sim::kAccessDenied);
                EXPECT_EQ(card->read(7, &data), sim::kAccessDenied);
                EXPECT_EQ(card->write(4, Bytes(16, 0x5A).data()), sim::kAccessDenied);
                EXPECT_EQ(card->write(7, Bytes(16, 0x5A).data()), sim::kAccessDenied);
                EXPECT_EQ(card->increment(4, 1), sim::kAccessDenied);
                continue;
            }
            ASSERT_EQ(auth, sim::kOk);
            const Bytes before = Bytes(card->image().begin() + 7 * 16, card->image().begin() + 8 * 16);
            Bytes read;
            ASSERT_EQ(card->read(7, &read), sim::kOk);
            EXPECT_EQ(Bytes(read.begin(), read.begin() + 6), Bytes(6, 0)) << "key A never reads back";
            EXPECT_EQ(Bytes(read.begin() + 6, read.begin() + 10),
                      keyMay(row.read_access, key) ? Bytes(before.begin() + 6, before.begin() + 10) : Bytes(4, 0));
            EXPECT_EQ(Bytes(read.begin() + 10, read.end()), keyMay(row.read_key_b, key) ? kKeyB : Bytes(6, 0));

            // New keys, the same access bits with another general-purpose byte.
            Bytes update = before;
            std::fill(update.begin(), update.begin() + 6, 0x11);
            update[9] = 0x42;
            std::fill(update.begin() + 10, update.end(), 0x22);
            const bool any =
                keyMay(row.write_key_a, key) || keyMay(row.write_access, key) || keyMay(row.write_key_b, key);
            EXPECT_EQ(card->write(7, update.data()), any ? sim::kOk : sim::kAccessDenied);
            const Bytes after = Bytes(card->image().begin() + 7 * 16, card->image().begin() + 8 * 16);
            EXPECT_EQ(after[0] == 0x11, keyMay(row.write_key_a, key));
            EXPECT_EQ(after[9] == 0x42, keyMay(row.write_access, key));
            EXPECT_EQ(after[10] == 0x22, keyMay(row.write_key_b, key));
        }
    }
}

TEST(MifareCardAccess, InconsistentAccessBitsBlockTheSector) {
    auto card = cardWith(0b000, 0b001);
    Bytes image = card->image();
    image[7 * 16 + 6] ^= 0x01;  // one inverted bit no longer matches
    card->loadImage(image, nullptr);
    card->request(true);
    card->select();
    EXPECT_EQ(card->authenticate(4, Key::A, kKeyA.data()), sim::kSectorBlocked);
    // Other sectors are unaffected.
    card->request(true);
    card->select();
    EXPECT_EQ(card->authenticate(8, Key::A, Bytes(6, 0xFF).data()), sim::kOk);
}

}  // namespace
