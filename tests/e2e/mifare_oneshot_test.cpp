// The one-shot commands and the reader's remaining type A commands, end to end.
#include "cards/mifare_classic.h"
#include "cards/toolkit.h"
#include "support/sim_fixture.h"

namespace {

using sim::Bytes;

const unsigned char kFactory[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

class OneShot : public kvtest::SimReaderTest {};

TEST_F(OneShot, RequestSelectsAndBlockCommandsAuthenticateThemselves) {
    place("mifare1k:uid=CAFEBABE");
    unsigned char uid[10], length = 0, data[252];
    ASSERT_EQ(rf_request_same_K62TX(0, 0x52, uid, &length), 0);
    EXPECT_EQ(Bytes(uid, uid + length), (Bytes{0xCA, 0xFE, 0xBA, 0xBE}));
    const Bytes block(16, 0x5A);
    ASSERT_EQ(rf_M1_write_same_K62TX(0, 0x60, 9, kFactory, block.data()), 0);
    ASSERT_EQ(rf_M1_read_same_K62TX(0, 0x60, 9, kFactory, data, &length), 0);
    EXPECT_EQ(Bytes(data, data + length), block);

    Bytes sector(48);
    for (std::size_t i = 0; i < sector.size(); ++i) sector[i] = static_cast<std::uint8_t>(i);
    ASSERT_EQ(rf_M1_write_sector_same_K62TX(0, 0x60, 3, kFactory, sector.data()), 0);
    ASSERT_EQ(rf_M1_read_sector_same_K62TX(0, 'A', 3, kFactory, data, &length), 0);
    EXPECT_EQ(Bytes(data, data + length), sector);

    // The separate commands see the one-shot authentication (sector 3).
    ASSERT_EQ(rf_M1_read(0, 13, data, &length), 0);
    EXPECT_EQ(Bytes(data, data + length), Bytes(sector.begin() + 16, sector.begin() + 32));
}

TEST_F(OneShot, PurseOperationsAndBackup) {
    place("mifare1k");
    int value = 0;
    ASSERT_EQ(rf_M1_Init_Purse_same_K62TX(0, 0x60, 4, kFactory, 500), 0);
    ASSERT_EQ(rf_M1_Inc_Purse_same_K62TX(0, 0x60, 4, kFactory, 25), 0);
    ASSERT_EQ(rf_M1_Dec_Purse_same_K62TX(0, 0x60, 4, kFactory, 100), 0);
    ASSERT_EQ(rf_M1_Read_Purse_same_K62TX(0, 0x60, 4, kFactory, &value), 0);
    EXPECT_EQ(value, 425);
    ASSERT_EQ(rf_M1_Backup_Purse_same_K62TX(0, 0x60, 4, 6, kFactory), 0);
    ASSERT_EQ(rf_M1_Read_Purse_same_K62TX(0, 0x60, 6, kFactory, &value), 0);
    EXPECT_EQ(value, 425);
    EXPECT_EQ(rf_M1_Backup_Purse_same_K62TX(0, 0x60, 4, 8, kFactory), sim::kNotAuthenticated)
        << "the target lies in another sector";
}

TEST_F(OneShot, WrongKeyAndUnknownKeyType) {
    place("mifare1k");
    unsigned char data[252], length = 0;
    const unsigned char wrong[6] = {0, 0, 0, 0, 0, 1};
    EXPECT_EQ(rf_M1_read_same_K62TX(0, 0x60, 4, wrong, data, &length), sim::kAuthFailed);
    EXPECT_EQ(rf_M1_read_same_K62TX(0, 0x99, 4, kFactory, data, &length), sim::kBadParameter);
    // After the failure the card is idle; the next one-shot command finds it again.
    EXPECT_EQ(rf_M1_read_same_K62TX(0, 0x60, 4, kFactory, data, &length), 0);
    EXPECT_EQ(length, 16);
    EXPECT_EQ(rf_M1_read_sector_same_K62TX(0, 0x60, 16, kFactory, data, &length), sim::kBlockRange);
}

TEST_F(OneShot, LargeSectorOfA4KCard) {
    place("mifare4k");
    unsigned char data[252], length = 0;
    ASSERT_EQ(rf_M1_read_sector_same_K62TX(0, 0x60, 39, kFactory, data, &length), 0);
    EXPECT_EQ(length, 240);
}

class RemainingCommands : public kvtest::SimReaderTest {};

TEST_F(RemainingCommands, CheckCardAndRequest080) {
    unsigned char flag = 9, data[8], length = 0;
    ASSERT_EQ(rf_check_card(0, &flag), 0);
    EXPECT_EQ(flag, 0);
    place("mifare4k:uid=01020304");
    ASSERT_EQ(rf_check_card(0, &flag), 0);
    EXPECT_EQ(flag, 1);
    ASSERT_EQ(rf_request_080(0, 0x52, 1, data, &length), 0);
    EXPECT_EQ(length, 8);
    EXPECT_EQ(Bytes(data, data + 8), (Bytes{0x02, 0x00, 0x18, 0x04, 0x01, 0x02, 0x03, 0x04}));
    EXPECT_EQ(rf_M1_authentication2(0, 0x60, 4, kFactory), 0) << "the card was selected";
    EXPECT_EQ(rf_request_080(0, 0x11, 0, data, &length), sim::kBadParameter);
}

TEST_F(RemainingCommands, ReaderRecordsKeepWhatWasWritten) {
    const Bytes clock(16, 0xC1), sum(16, 0x5E);
    unsigned char data[252], length = 0;
    ASSERT_EQ(rf_time_write(0, 3, clock.data()), 0);
    ASSERT_EQ(value_sum_write(0, 3, sum.data()), 0);
    ASSERT_EQ(rf_time_read(0, 3, data, &length), 0);
    EXPECT_EQ(Bytes(data, data + length), clock);
    ASSERT_EQ(value_sum_read(0, 3, data, &length), 0);
    EXPECT_EQ(Bytes(data, data + length), sum);
    ASSERT_EQ(rf_time_read(0, 4, data, &length), 0);
    EXPECT_EQ(Bytes(data, data + length), Bytes(16, 0));
    EXPECT_EQ(rf_time_read(0, 16, data, &length), sim::kBlockRange);
}

TEST_F(RemainingCommands, InitCardWritesCardsInDeliveryState) {
    place("mifare1k");
    const Bytes block(16, 0x42);
    ASSERT_EQ(rf_M1_InitCard(0, 6, block.data()), 0);
    unsigned char data[252], length = 0;
    ASSERT_EQ(rf_M1_read(0, 6, data, &length), 0);
    EXPECT_EQ(Bytes(data, data + length), block);
    // With its keys changed the card refuses, and goes idle.
    server->withReader([](sim::Reader& r) { r.field.clear(); });
    place("mifare1k:keya=010203040506");
    EXPECT_EQ(rf_M1_InitCard(0, 6, block.data()), sim::kAuthFailed);
}

TEST_F(RemainingCommands, FlashCardPagesAreTheCardsMemory) {
    place("ntag213:uid=04010203040506");
    unsigned char uid[7], length = 0, data[252];
    ASSERT_EQ(rf_ul_select(0, uid, &length), 0) << "an idle tag is woken by the select itself";
    const Bytes text = {'h', 'e', 'l', 'l', 'o', '!', '!', '!'};
    ASSERT_EQ(rf_flash_card_write(0, 0, 16, 8, text.data()), 0);
    ASSERT_EQ(rf_flash_card_read(0, 0, 14, 10, data), 0);
    EXPECT_EQ(Bytes(data + 2, data + 10), text);
    EXPECT_EQ(rf_flash_card_write(0, 0, 17, 4, text.data()), sim::kBadParameter) << "whole pages only";
    EXPECT_EQ(rf_flash_card_read(0, 1, 0, 4, data), sim::kBlockRange) << "the tag ends at byte 180";
    EXPECT_EQ(rf_flash_card_write(0, 0, 0, 4, text.data()), sim::kLocked) << "UID page";
}

}  // namespace
