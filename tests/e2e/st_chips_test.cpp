// ST SR-series chips through the library: the request frames, the
// initiate / select / completion sequence, and each chip's memory rules.
#include <gtest/gtest.h>

#include <functional>

#include "cards/st_chip.h"
#include "support/sim_fixture.h"
#include "cards/toolkit.h"
#include "frame_codec.h"

namespace {

using sim::Bytes;

class StChips : public kvtest::SimReaderTest {
protected:
    void SetUp() override {
        SimReaderTest::SetUp();
        ASSERT_EQ(rf_init_type(0, 's'), 0);
    }
    // Switches the field off and on, as the test program does before a search.
    void resetField() {
        ASSERT_EQ(rf_antenna_sta(0, 0), 0);
        ASSERT_EQ(rf_antenna_sta(0, 1), 0);
    }
    int select() { return rf_st_select(0, id); }
    int read4(int block) { return rf_srix4k_readblock(0, static_cast<unsigned char>(block), data, &len); }
    int write4(int block, Bytes value) {
        return rf_srix4k_writeblock(0, static_cast<unsigned char>(block), value.data());
    }
    Bytes got() const { return Bytes(data, data + len); }
    unsigned char id[256] = {};
    unsigned char data[256] = {};
    unsigned char len = 0;
};

TEST_F(StChips, EachCommandSendsItsCodeAndFields) {
    const unsigned char two[2] = {0xB0, 0xB1};
    const unsigned char four[4] = {0xC0, 0xC1, 0xC2, 0xC3};
    const unsigned char challenge[6] = {1, 2, 3, 4, 5, 6};
    const std::vector<std::pair<std::function<int()>, Bytes>> cases = {
        {[&] { return rf_st_select(0, id); }, common::encodeRequest(0, 0x60, {})},
        {[&] { return rf_st_completion(0); }, common::encodeRequest(0, 0x61, {})},
        {[&] { return rf_sr176_readblock(0, 7, data, &len); }, common::encodeRequest(0, 0x62, {7})},
        {[&] { return rf_sr176_writeblock(0, 7, two); }, common::encodeRequest(0, 0x63, {7, 0xB0, 0xB1})},
        {[&] { return rf_sr176_protectblock(0, 0x81); }, common::encodeRequest(0, 0x64, {0x81})},
        {[&] { return rf_srix4k_readblock(0, 9, data, &len); }, common::encodeRequest(0, 0x65, {9})},
        {[&] { return rf_srix4k_writeblock(0, 9, four); }, common::encodeRequest(0, 0x66, {9, 0xC0, 0xC1, 0xC2, 0xC3})},
        {[&] { return rf_srix4k_authenticate(0, challenge, data, &len); },
         common::encodeRequest(0, 0x67, {1, 2, 3, 4, 5, 6})},
        {[&] { return rf_srix4k_getuid(0, data, &len); }, common::encodeRequest(0, 0x68, {})},
        {[&] { return rf_srix4k_writelockreg(0, 0xFE); }, common::encodeRequest(0, 0x69, {0xFE})},
        {[&] { return rf_sri512_writelockreg(0, two); }, common::encodeRequest(0, 0x6C, {0xB0, 0xB1})},
    };
    for (const auto& [call, frame] : cases) {
        takeRequests();
        call();
        EXPECT_EQ(takeRequests(), std::vector<Bytes>{frame}) << sim::hex(frame);
    }
}

TEST_F(StChips, SelectOperateCompleteAndStaySilentUntilTheFieldResets) {
    place("srix4k:chipid=2A");
    EXPECT_EQ(read4(7), sim::kChipNotSelected);
    ASSERT_EQ(select(), 0);
    EXPECT_EQ(id[0], 0x2A);
    ASSERT_EQ(write4(7, {1, 2, 3, 4}), 0);
    ASSERT_EQ(read4(7), 0);
    EXPECT_EQ(got(), (Bytes{1, 2, 3, 4}));

    ASSERT_EQ(rf_st_completion(0), 0);
    EXPECT_EQ(read4(7), sim::kChipNotSelected);
    EXPECT_EQ(rf_st_completion(0), sim::kChipNotSelected);
    EXPECT_EQ(select(), sim::kNoCard);

    resetField();
    ASSERT_EQ(select(), 0);
    ASSERT_EQ(read4(7), 0);
    EXPECT_EQ(got(), (Bytes{1, 2, 3, 4}));  // memory outlives the field
}

TEST_F(StChips, TwoChipsAreSelectedOneAfterTheOther) {
    place("sri512:uid=D002000000000011,chipid=40");
    place("srix4k:uid=D002000000000022,chipid=10");
    unsigned char uid[8] = {};
    ASSERT_EQ(select(), 0);
    EXPECT_EQ(id[0], 0x10);  // the lowest id is selected first
    ASSERT_EQ(rf_srix4k_getuid(0, uid, &len), 0);
    EXPECT_EQ(Bytes(uid, uid + 8), (Bytes{0x22, 0, 0, 0, 0, 0, 0x02, 0xD0}));
    ASSERT_EQ(rf_st_completion(0), 0);
    ASSERT_EQ(select(), 0);
    EXPECT_EQ(id[0], 0x40);
    ASSERT_EQ(rf_srix4k_getuid(0, uid, &len), 0);
    EXPECT_EQ(uid[0], 0x11);
    ASSERT_EQ(rf_st_completion(0), 0);
    EXPECT_EQ(select(), sim::kNoCard);
}

TEST_F(StChips, Sr176HoldsItsUidChipIdAndProtectedPairs) {
    place("sr176:uid=D002000000ABCDEF,chipid=05");
    ASSERT_EQ(select(), 0);
    EXPECT_EQ(id[0], 0x05);
    Bytes uid;
    for (int block = 0; block < 4; ++block) {
        ASSERT_EQ(rf_sr176_readblock(0, static_cast<unsigned char>(block), data, &len), 0);
        ASSERT_EQ(len, 2);
        uid.insert(uid.end(), data, data + 2);
    }
    EXPECT_EQ(uid, (Bytes{0xEF, 0xCD, 0xAB, 0x00, 0x00, 0x00, 0x02, 0xD0}));
    EXPECT_EQ(rf_sr176_readblock(0, 16, data, &len), sim::kChipBlockRange);

    const unsigned char value[2] = {0x12, 0x34};
    EXPECT_EQ(rf_sr176_writeblock(0, 0, value), sim::kChipLocked);  // the UID is read-only
    ASSERT_EQ(rf_sr176_writeblock(0, 4, value), 0);
    ASSERT_EQ(rf_sr176_writeblock(0, 6, value), 0);
    ASSERT_EQ(rf_sr176_protectblock(0, 0x04), 0);  // bit 2: blocks 4 and 5
    // The chip reads its lock bits at SELECT: they count from the next one.
    EXPECT_EQ(rf_sr176_writeblock(0, 4, value), 0);
    ASSERT_EQ(rf_antenna_sta(0, 0), 0);
    ASSERT_EQ(rf_antenna_sta(0, 1), 0);
    ASSERT_EQ(select(), 0);
    EXPECT_EQ(rf_sr176_writeblock(0, 4, value), sim::kChipLocked);
    EXPECT_EQ(rf_sr176_writeblock(0, 5, value), sim::kChipLocked);
    EXPECT_EQ(rf_sr176_writeblock(0, 6, value), 0);
    ASSERT_EQ(rf_sr176_readblock(0, 15, data, &len), 0);
    EXPECT_EQ(got(), (Bytes{0xF5, 0x04}));  // chip id in the low nibble, lock bits in byte 1
    // The other family's commands are refused.
    EXPECT_EQ(read4(7), sim::kWrongCardType);
    EXPECT_EQ(rf_srix4k_getuid(0, data, &len), sim::kWrongCardType);
}

TEST_F(StChips, Srix4kCountersLockRegisterAndAuthentication) {
    place("srix4k:chipid=33");
    ASSERT_EQ(select(), 0);
    // Blocks 5 and 6 only count down.
    ASSERT_EQ(write4(5, {0x10, 0x00, 0x00, 0x00}), 0);
    EXPECT_EQ(write4(5, {0x11, 0x00, 0x00, 0x00}), sim::kCounterUp);
    ASSERT_EQ(write4(5, {0x0F, 0x00, 0x00, 0x00}), 0);
    ASSERT_EQ(read4(5), 0);
    EXPECT_EQ(got(), (Bytes{0x0F, 0, 0, 0}));

    // Lock register, active low: clearing bit 0 locks blocks 7-15, for good.
    ASSERT_EQ(rf_srix4k_writelockreg(0, 0xFE), 0);
    EXPECT_EQ(write4(7, {0, 0, 0, 0}), sim::kChipLocked);
    EXPECT_EQ(write4(15, {0, 0, 0, 0}), sim::kChipLocked);
    EXPECT_EQ(write4(16, {0, 0, 0, 0}), 0);
    ASSERT_EQ(rf_srix4k_writelockreg(0, 0xFF), 0);
    EXPECT_EQ(write4(7, {0, 0, 0, 0}), sim::kChipLocked);
    ASSERT_EQ(read4(255), 0);
    EXPECT_EQ(got(), (Bytes{0x33, 0xFF, 0xFF, 0xFE}));
    EXPECT_EQ(read4(128), sim::kChipBlockRange);

    const unsigned char a[6] = {1, 2, 3, 4, 5, 6};
    const unsigned char b[6] = {1, 2, 3, 4, 5, 7};
    ASSERT_EQ(rf_srix4k_authenticate(0, a, data, &len), 0);
    ASSERT_EQ(len, 3);
    const Bytes first = got();
    ASSERT_EQ(rf_srix4k_authenticate(0, a, data, &len), 0);
    EXPECT_EQ(got(), first);
    ASSERT_EQ(rf_srix4k_authenticate(0, b, data, &len), 0);
    EXPECT_NE(got(), first);
    EXPECT_EQ(rf_sri512_writelockreg(0, data), sim::kWrongCardType);
}

TEST_F(StChips, Sri512LocksBlockByBlock) {
    place("sri512:chipid=01");
    ASSERT_EQ(select(), 0);
    EXPECT_EQ(read4(16), sim::kChipBlockRange);
    const unsigned char lock[2] = {0xFF, 0x7F};  // bit 15 cleared: block 15
    ASSERT_EQ(rf_sri512_writelockreg(0, lock), 0);
    EXPECT_EQ(write4(15, {1, 1, 1, 1}), sim::kChipLocked);
    EXPECT_EQ(write4(14, {1, 1, 1, 1}), 0);
    ASSERT_EQ(read4(255), 0);
    EXPECT_EQ(got(), (Bytes{0x01, 0xFF, 0xFF, 0x7F}));
    EXPECT_EQ(rf_srix4k_authenticate(0, data, data, &len), sim::kWrongCardType);
    EXPECT_EQ(rf_srix4k_writelockreg(0, 0x00), sim::kWrongCardType);
}

TEST_F(StChips, OnlyTheStModeReachesTheChips) {
    place("srix4k");
    ASSERT_EQ(rf_init_type(0, '1'), 0);
    EXPECT_EQ(select(), sim::kNoCard);
    ASSERT_EQ(rf_init_type(0, 's'), 0);
    ASSERT_EQ(select(), 0);
    // A random chip id when none is fixed; the system block shows it.
    ASSERT_EQ(read4(255), 0);
    EXPECT_EQ(data[0], id[0]);
}

}  // namespace
