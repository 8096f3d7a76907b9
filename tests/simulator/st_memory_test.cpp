// ST chip memories as the datasheets give them: the SRI512/SRIX4K
// resettable OTP blocks 0-4 and count-down counters, and the SR176 lock
// byte that counts from the next SELECT.
#include <gtest/gtest.h>

#include "cards/st_chip.h"
#include "server/families.h"

namespace {

using sim::Bytes;
using sim::StChip;

std::shared_ptr<StChip> make(const std::string& type) {
    std::string why;
    auto chip = std::dynamic_pointer_cast<StChip>(sim::fullCatalog().make(type, {}, &why));
    EXPECT_TRUE(chip) << why;
    return chip;
}

Bytes block(const StChip& chip, std::uint8_t number) {
    Bytes out;
    EXPECT_EQ(chip.read(number, &out), sim::kOk);
    return out;
}

TEST(StMemory, OtpBlocksZeroToFourOnlyClearBits) {
    for (const char* type : {"sri512", "srix4k"}) {
        SCOPED_TRACE(type);
        auto chip = make(type);
        ASSERT_EQ(chip->write(0, Bytes{0x0F, 0xF0, 0xFF, 0x00}.data()), sim::kOk);
        ASSERT_EQ(chip->write(0, Bytes{0xF0, 0xFF, 0x0F, 0xFF}.data()), sim::kOk);
        EXPECT_EQ(block(*chip, 0), (Bytes{0x00, 0xF0, 0x0F, 0x00}));
        ASSERT_EQ(chip->write(4, Bytes{0x12, 0x34, 0x56, 0x78}.data()), sim::kOk);
        EXPECT_EQ(block(*chip, 4), (Bytes{0x12, 0x34, 0x56, 0x78}));
        // Block 7 on is plain EEPROM.
        ASSERT_EQ(chip->write(7, Bytes{0x00, 0x00, 0x00, 0x00}.data()), sim::kOk);
        ASSERT_EQ(chip->write(7, Bytes{0xAB, 0xCD, 0xEF, 0x01}.data()), sim::kOk);
        EXPECT_EQ(block(*chip, 7), (Bytes{0xAB, 0xCD, 0xEF, 0x01}));
    }
}

TEST(StMemory, CounterFiveStartsAtFffffffeAndCountsDown) {
    for (const char* type : {"sri512", "srix4k"}) {
        SCOPED_TRACE(type);
        auto chip = make(type);
        EXPECT_EQ(block(*chip, 5), (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));
        EXPECT_EQ(block(*chip, 6), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
        EXPECT_EQ(chip->write(5, Bytes{0xFF, 0xFF, 0xFF, 0xFF}.data()), sim::kCounterUp);
        EXPECT_EQ(chip->write(5, Bytes{0xFD, 0xFF, 0xFF, 0xFF}.data()), sim::kOk);
    }
}

// Counter 6: lowering its bits 31-21 reloads it and erases blocks 0-4.
TEST(StMemory, ReloadOfCounterSixErasesTheOtpBlocks) {
    auto chip = make("srix4k");
    ASSERT_EQ(chip->write(1, Bytes{0x00, 0x00, 0x00, 0x00}.data()), sim::kOk);
    ASSERT_EQ(chip->write(6, Bytes{0x00, 0x00, 0xE0, 0xFF}.data()), sim::kOk);  // FFE00000: no reload
    EXPECT_EQ(block(*chip, 1), (Bytes{0x00, 0x00, 0x00, 0x00}));
    ASSERT_EQ(chip->write(6, Bytes{0xFF, 0xFF, 0xDF, 0xFF}.data()), sim::kOk);  // FFDFFFFF: reload
    EXPECT_EQ(block(*chip, 1), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(StMemory, Sr176ProtectCountsFromTheNextSelect) {
    auto chip = make("sr176");
    const auto id = chip->initiate();
    ASSERT_TRUE(id);
    ASSERT_TRUE(chip->select(*id));
    ASSERT_EQ(chip->protectSr176(0x04), sim::kOk);  // bit 2: blocks 4 and 5
    EXPECT_EQ(chip->write(4, Bytes{0x12, 0x34}.data()), sim::kOk);
    ASSERT_TRUE(chip->select(*id));
    EXPECT_EQ(chip->write(5, Bytes{0x56, 0x78}.data()), sim::kChipLocked);
    EXPECT_EQ(chip->write(6, Bytes{0x56, 0x78}.data()), sim::kOk);
    EXPECT_EQ(block(*chip, 4), (Bytes{0x12, 0x34}));
}

}  // namespace
