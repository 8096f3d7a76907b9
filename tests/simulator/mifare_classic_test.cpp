// Mifare Classic card model: value blocks and the transfer buffer, the
// manufacturer block, authentication failures, 4K large sectors.
#include <gtest/gtest.h>

#include "cards/mifare_classic.h"
#include "cards/toolkit.h"
#include "value_block.h"

namespace {

using sim::Bytes;
using sim::MifareClassic;
using sim::mifare::Key;

const Bytes kFactory(6, 0xFF);

std::unique_ptr<MifareClassic> selected(MifareClassic::Size size, Bytes uid = {1, 2, 3, 4}) {
    auto card = std::make_unique<MifareClassic>(size, uid);
    card->request(false);
    card->select();
    return card;
}

Bytes blockOf(const MifareClassic& card, int block) {
    return Bytes(card.image().begin() + block * 16, card.image().begin() + (block + 1) * 16);
}

TEST(MifareValue, IncrementDecrementRestoreGoThroughTheTransferBuffer) {
    auto card = selected(MifareClassic::Size::k1K);
    ASSERT_EQ(card->authenticate(4, Key::A, kFactory.data()), sim::kOk);
    ASSERT_EQ(card->initValue(4, 100), sim::kOk);
    EXPECT_EQ(blockOf(*card, 4), sim::mifare::valueBlock(100, 4));

    EXPECT_EQ(card->transfer(5), sim::kTransferEmpty);
    ASSERT_EQ(card->increment(4, 50), sim::kOk);
    std::int32_t value = 0;
    ASSERT_EQ(card->readValue(4, &value), sim::kOk);
    EXPECT_EQ(value, 100) << "increment alone leaves the block as it was";
    ASSERT_EQ(card->transfer(4), sim::kOk);
    ASSERT_EQ(card->readValue(4, &value), sim::kOk);
    EXPECT_EQ(value, 150);

    // Restore and transfer copy a value; a non-value target takes the source's address byte.
    ASSERT_EQ(card->decrement(4, 20), sim::kOk);
    ASSERT_EQ(card->transfer(6), sim::kOk);
    EXPECT_EQ(blockOf(*card, 6), sim::mifare::valueBlock(130, 4));
    // A value target keeps its own address bytes.
    ASSERT_EQ(card->initValue(5, 1), sim::kOk);
    ASSERT_EQ(card->restore(6), sim::kOk);
    ASSERT_EQ(card->transfer(5), sim::kOk);
    EXPECT_EQ(blockOf(*card, 5), sim::mifare::valueBlock(130, 5));
    EXPECT_EQ(card->initValue(7, 1), sim::kAccessDenied) << "a trailer is no value block";
    // Transfer stays within the authenticated sector and never reaches a trailer.
    EXPECT_EQ(card->transfer(8), sim::kNotAuthenticated);
    EXPECT_EQ(card->transfer(7), sim::kAccessDenied);
}

TEST(MifareValue, MalformedValueBlockIsRefused) {
    auto card = selected(MifareClassic::Size::k1K);
    ASSERT_EQ(card->authenticate(4, Key::A, kFactory.data()), sim::kOk);
    ASSERT_EQ(card->initValue(4, 7), sim::kOk);
    Bytes broken = sim::mifare::valueBlock(7, 4);
    broken[5] ^= 0x01;  // the inverted copy no longer matches
    ASSERT_EQ(card->write(4, broken.data()), sim::kOk);
    std::int32_t value = 0;
    EXPECT_EQ(card->readValue(4, &value), sim::kValueFormat);
    EXPECT_EQ(card->increment(4, 1), sim::kValueFormat);
    EXPECT_EQ(card->restore(4), sim::kValueFormat);
    Bytes bad_address = sim::mifare::valueBlock(7, 4);
    bad_address[13] = 0x00;
    ASSERT_EQ(card->write(4, bad_address.data()), sim::kOk);
    EXPECT_EQ(card->decrement(4, 1), sim::kValueFormat);
}

TEST(MifareValue, OverflowIsRefusedInsteadOfWrapping) {
    auto card = selected(MifareClassic::Size::k1K);
    ASSERT_EQ(card->authenticate(4, Key::A, kFactory.data()), sim::kOk);
    ASSERT_EQ(card->initValue(4, 0x7FFFFFF0), sim::kOk);
    EXPECT_EQ(card->increment(4, 0x10), sim::kValueOverflow);
    ASSERT_EQ(card->initValue(5, -0x7FFFFFFF), sim::kOk);
    EXPECT_EQ(card->decrement(5, 2), sim::kValueOverflow);
    EXPECT_EQ(card->decrement(5, 1), sim::kOk);
}

TEST(MifareClassicCard, ManufacturerBlockIsReadOnly) {
    auto card = selected(MifareClassic::Size::k1K, {0xDE, 0xAD, 0xBE, 0xEF});
    const Bytes block0 = blockOf(*card, 0);
    EXPECT_EQ(Bytes(block0.begin(), block0.begin() + 8), (Bytes{0xDE, 0xAD, 0xBE, 0xEF, 0x22, 0x08, 0x04, 0x00}));
    ASSERT_EQ(card->authenticate(0, Key::A, kFactory.data()), sim::kOk);
    EXPECT_EQ(card->write(0, Bytes(16, 0).data()), sim::kLocked);
    EXPECT_EQ(card->initValue(0, 1), sim::kLocked);
    EXPECT_EQ(blockOf(*card, 0), block0);
}

TEST(MifareClassicCard, FailedAuthenticationDropsTheCardToIdle) {
    auto card = selected(MifareClassic::Size::k1K);
    ASSERT_EQ(card->authenticate(4, Key::A, kFactory.data()), sim::kOk);
    EXPECT_EQ(card->authenticate(8, Key::A, Bytes(6, 0).data()), sim::kAuthFailed);
    EXPECT_EQ(card->state(), sim::TypeACard::State::idle);
    EXPECT_FALSE(card->authenticatedSector());
    Bytes data;
    EXPECT_EQ(card->read(4, &data), sim::kNotAuthenticated) << "the earlier authentication is gone";
}

// Delivery access bits FF 07 80 make the trailer 001: key B readable.
TEST(MifareClassicCard, KeyBReadableAuthenticatesButTheNextReadOrWriteIsRefused) {
    auto card = selected(MifareClassic::Size::k1K);
    ASSERT_EQ(card->authenticate(4, Key::B, kFactory.data()), sim::kOk);
    Bytes data;
    EXPECT_EQ(card->read(4, &data), sim::kAccessDenied);
    EXPECT_EQ(card->write(5, Bytes(16, 1).data()), sim::kAccessDenied);
    ASSERT_EQ(card->authenticate(4, Key::A, kFactory.data()), sim::kOk);
    EXPECT_EQ(card->read(4, &data), sim::kOk);
}

TEST(MifareClassicCard, LargeSectorsOf4KUseGroupsOfFiveBlocks) {
    auto card = selected(MifareClassic::Size::k4K);
    EXPECT_EQ(card->atqa(), 0x0002);
    EXPECT_EQ(card->sak(), 0x18);
    EXPECT_EQ(MifareClassic::sectorOf(255), 39);
    EXPECT_EQ(MifareClassic::trailerOf(32), 143);
    // Sector 32: group 1 (blocks 133-137) read-only (010), the rest open.
    ASSERT_EQ(card->authenticate(128, Key::A, kFactory.data()), sim::kOk);
    Bytes trailer = blockOf(*card, 143);
    const auto bits = sim::mifare::encodeAccess({0, 0b010, 0, 0b001});
    std::copy(bits.begin(), bits.end(), trailer.begin() + 6);
    ASSERT_EQ(card->write(143, trailer.data()), sim::kOk);
    const Bytes data(16, 0x77);
    EXPECT_EQ(card->write(132, data.data()), sim::kOk);
    EXPECT_EQ(card->write(133, data.data()), sim::kAccessDenied);
    EXPECT_EQ(card->write(137, data.data()), sim::kAccessDenied);
    EXPECT_EQ(card->write(138, data.data()), sim::kOk);
    EXPECT_EQ(card->write(142, data.data()), sim::kOk);
    EXPECT_EQ(card->write(144, data.data()), sim::kNotAuthenticated);
}

TEST(MifareClassicCard, SevenByteUidChangesTheAnswerToRequest) {
    const Bytes uid = {0x04, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66};
    EXPECT_EQ(MifareClassic(MifareClassic::Size::k1K, uid).atqa(), 0x0044);
    EXPECT_EQ(MifareClassic(MifareClassic::Size::k4K, uid).atqa(), 0x0042);
    const MifareClassic card(MifareClassic::Size::k1K, uid);
    EXPECT_EQ(Bytes(card.image().begin(), card.image().begin() + 7), uid);
}

}  // namespace
