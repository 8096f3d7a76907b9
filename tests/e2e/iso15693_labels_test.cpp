// Simulated ISO15693 labels operated through the library: memory and locks
// that hold, the ready / selected / quiet states, several labels in the
// field, and the I-CODE EAS commands.
#include <gtest/gtest.h>

#include "cards/iso15693_label.h"
#include "support/sim_fixture.h"
#include "cards/toolkit.h"
#include "frame_codec.h"

namespace {

using sim::Bytes;

constexpr unsigned char kAnyLabel = 0x02;  // unaddressed, high data rate
constexpr unsigned char kAddressed = 0x22;
constexpr unsigned char kSelectedOnly = 0x12;

// UIDs as the label sends them, least significant byte first.
const unsigned char kIcode[8] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x01, 0x04, 0xE0};
const unsigned char kIcode2[8] = {0x02, 0x00, 0x00, 0x00, 0x00, 0x01, 0x04, 0xE0};
const unsigned char kTagIt[8] = {0x13, 0x00, 0x00, 0x00, 0x00, 0x00, 0x07, 0xE0};

class Labels : public kvtest::SimReaderTest {
protected:
    void SetUp() override {
        SimReaderTest::SetUp();
        ASSERT_EQ(rf_init_type(0, '1'), 0);
    }
    int read(unsigned char flags, const unsigned char* uid, int first, int count) {
        return ISO15693_Read(0, flags, uid, static_cast<unsigned char>(first), static_cast<unsigned char>(count), data,
                             &len);
    }
    Bytes got() const { return Bytes(data, data + len); }
    unsigned char data[256] = {};
    unsigned char len = 0;
};

TEST_F(Labels, InventoryAndSystemInformationDescribeTheLabel) {
    place("icode:uid=E004010000000001,dsfid=5A,afi=07");
    ASSERT_EQ(ISO15693_Inventory(0, data, &len), 0);
    EXPECT_EQ(got(), (Bytes{0x5A, 0x01, 0x00, 0x00, 0x00, 0x00, 0x01, 0x04, 0xE0}));

    // Unaddressed, as the test program asks it: the UID argument is ignored.
    const unsigned char junk[8] = {};
    ASSERT_EQ(ISO15693_Get_System_Information(0, 0x00, junk, data, &len), 0);
    EXPECT_EQ(got(), (Bytes{0x0F, 0x01, 0x00, 0x00, 0x00, 0x00, 0x01, 0x04, 0xE0, 0x5A, 0x07, 27, 3, 0x01}));

    place("tagit:uid=E007000000000013");
    ASSERT_EQ(ISO15693_Get_System_Information(0, kAddressed, kTagIt, data, &len), 0);
    ASSERT_EQ(len, 14);
    EXPECT_EQ(data[11], 63);  // 64 blocks
}

TEST_F(Labels, BlocksWriteReadAndKeepTheirLimits) {
    place("icode");
    const unsigned char one[4] = {0xDE, 0xAD, 0xBE, 0xEF};
    ASSERT_EQ(ISO15693_Write(0, kAnyLabel, kIcode, 27, one), 0);
    unsigned char many[40];
    for (int i = 0; i < 40; ++i) many[i] = static_cast<unsigned char>(0x80 + i);
    ASSERT_EQ(ISO15693_Write_Multi_Block(0, kAnyLabel, kIcode, 14, 10, many), 0);

    ASSERT_EQ(read(kAnyLabel, kIcode, 14, 14), 0);
    ASSERT_EQ(len, 56);
    EXPECT_EQ(Bytes(data, data + 40), Bytes(many, many + 40));
    EXPECT_EQ(Bytes(data + 52, data + 56), Bytes(one, one + 4));

    // 28 blocks: block 27 is the last; a range past it is refused whole.
    EXPECT_EQ(read(kAnyLabel, kIcode, 27, 1), 0);
    EXPECT_EQ(read(kAnyLabel, kIcode, 28, 1), sim::kLabelBlockRange);
    EXPECT_EQ(read(kAnyLabel, kIcode, 20, 9), sim::kLabelBlockRange);
    EXPECT_EQ(ISO15693_Write(0, kAnyLabel, kIcode, 28, one), sim::kLabelBlockRange);
    EXPECT_EQ(ISO15693_Get_Block_Security(0, kAnyLabel, kIcode, 0, 28, data, &len), 0);
    EXPECT_EQ(len, 28);
    // Past the end the I-CODE SLI answers for the blocks it has.
    ASSERT_EQ(ISO15693_Get_Block_Security(0, kAnyLabel, kIcode, 26, 5, data, &len), 0);
    EXPECT_EQ(len, 2);
    EXPECT_EQ(ISO15693_Get_Block_Security(0, kAnyLabel, kIcode, 28, 1, data, &len), sim::kLabelBlockRange);
}

TEST_F(Labels, TagItLabelsHaveSixtyFourBlocks) {
    place("tagit:uid=E007000000000013");
    const unsigned char value[4] = {1, 2, 3, 4};
    ASSERT_EQ(ISO15693_Write(0, 0x06, kTagIt, 63, value), 0);  // the test program's flags for Tag-it writes
    ASSERT_EQ(read(kAnyLabel, kTagIt, 56, 8), 0);
    EXPECT_EQ(Bytes(data + 28, data + 32), (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(read(kAnyLabel, kTagIt, 64, 1), sim::kLabelBlockRange);
    // EAS is NXP's: a Tag-it label ignores it.
    EXPECT_EQ(ISO15693_SET_EAS_ICODE(0, kAnyLabel, kTagIt), sim::kNoCard);
}

TEST_F(Labels, LocksHold) {
    place("icode");
    const unsigned char before[4] = {1, 1, 1, 1};
    const unsigned char after[4] = {2, 2, 2, 2};
    ASSERT_EQ(ISO15693_Write(0, kAnyLabel, kIcode, 5, before), 0);
    ASSERT_EQ(ISO15693_Lock_Block(0, kAnyLabel, kIcode, 5), 0);
    EXPECT_EQ(ISO15693_Write(0, kAnyLabel, kIcode, 5, after), sim::kLabelLocked);
    EXPECT_EQ(ISO15693_Lock_Block(0, kAnyLabel, kIcode, 5), sim::kLabelAlreadyLocked);
    // A multi-block write over the locked block writes nothing.
    unsigned char three[12] = {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
    EXPECT_EQ(ISO15693_Write_Multi_Block(0, kAnyLabel, kIcode, 4, 3, three), sim::kLabelLocked);
    ASSERT_EQ(read(kAnyLabel, kIcode, 4, 3), 0);
    EXPECT_EQ(got(), (Bytes{0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0}));
    ASSERT_EQ(ISO15693_Get_Block_Security(0, kAnyLabel, kIcode, 4, 3, data, &len), 0);
    EXPECT_EQ(got(), (Bytes{0x00, 0x01, 0x00}));

    ASSERT_EQ(ISO15693_Write_AFI(0, kAnyLabel, kIcode, 0x11), 0);
    ASSERT_EQ(ISO15693_Lock_AFI(0, kAnyLabel, kIcode), 0);
    EXPECT_EQ(ISO15693_Write_AFI(0, kAnyLabel, kIcode, 0x22), sim::kLabelLocked);
    EXPECT_EQ(ISO15693_Lock_AFI(0, kAnyLabel, kIcode), sim::kLabelAlreadyLocked);
    ASSERT_EQ(ISO15693_Write_DSFID(0, kAnyLabel, kIcode, 0x33), 0);
    ASSERT_EQ(ISO15693_Lock_DSFID(0, kAnyLabel, kIcode), 0);
    EXPECT_EQ(ISO15693_Write_DSFID(0, kAnyLabel, kIcode, 0x44), sim::kLabelLocked);

    // Locks survive the field going down.
    ASSERT_EQ(rf_antenna_sta(0, 0), 0);
    ASSERT_EQ(rf_antenna_sta(0, 1), 0);
    EXPECT_EQ(ISO15693_Write(0, kAnyLabel, kIcode, 5, after), sim::kLabelLocked);
    ASSERT_EQ(ISO15693_Get_System_Information(0, kAnyLabel, kIcode, data, &len), 0);
    EXPECT_EQ(data[9], 0x33);
    EXPECT_EQ(data[10], 0x11);
}

TEST_F(Labels, QuietLabelsHearOnlyAddressedRequestsUntilSelectedOrReset) {
    place("icode");
    ASSERT_EQ(ISO15693_Stay_Quiet(0, kIcode), 0);
    EXPECT_EQ(ISO15693_Inventory(0, data, &len), sim::kNoCard);
    EXPECT_EQ(read(kAnyLabel, kIcode, 0, 1), sim::kNoCard);
    EXPECT_EQ(read(kAddressed, kIcode, 0, 1), 0);
    ASSERT_EQ(ISO15693_Reset_To_Ready(0, kAddressed, kIcode), 0);
    EXPECT_EQ(ISO15693_Inventory(0, data, &len), 0);

    // Selected: answers the select flag; quiet again, then select wakes it.
    EXPECT_EQ(read(kSelectedOnly, kIcode, 0, 1), sim::kNoCard);
    ASSERT_EQ(ISO15693_Stay_Quiet(0, kIcode), 0);
    ASSERT_EQ(ISO15693_Select(0, kIcode), 0);
    EXPECT_EQ(read(kSelectedOnly, kIcode, 0, 1), 0);
    EXPECT_EQ(ISO15693_Inventory(0, data, &len), 0);
    ASSERT_EQ(ISO15693_Reset_To_Ready(0, kAnyLabel, kIcode), 0);
    EXPECT_EQ(read(kSelectedOnly, kIcode, 0, 1), sim::kNoCard);

    // A select of an absent UID finds nobody.
    const unsigned char absent[8] = {0x99, 0, 0, 0, 0, 0, 0x04, 0xE0};
    EXPECT_EQ(ISO15693_Select(0, absent), sim::kNoCard);

    // The field going down returns a quiet label to ready.
    ASSERT_EQ(ISO15693_Stay_Quiet(0, kIcode), 0);
    ASSERT_EQ(rf_antenna_sta(0, 0), 0);
    EXPECT_EQ(ISO15693_Inventory(0, data, &len), sim::kNoCard);
    ASSERT_EQ(rf_antenna_sta(0, 1), 0);
    EXPECT_EQ(ISO15693_Inventory(0, data, &len), 0);
}

TEST_F(Labels, SeveralLabelsAreInventoriedAndAddressedOneByOne) {
    place("icode:uid=E004010000000001");
    place("tagit:uid=E007000000000013");
    place("icode:uid=E004010000000002");
    ASSERT_EQ(ISO15693_Inventorys(0, data, &len), 0);
    ASSERT_EQ(len, 27);
    // The UIDs come out in the order of their low nibbles: ..01, ..02, ..13.
    EXPECT_EQ(Bytes(data + 1, data + 9), Bytes(kIcode, kIcode + 8));
    EXPECT_EQ(Bytes(data + 10, data + 18), Bytes(kIcode2, kIcode2 + 8));
    EXPECT_EQ(Bytes(data + 19, data + 27), Bytes(kTagIt, kTagIt + 8));
    ASSERT_EQ(ISO15693_Inventory(0, data, &len), 0);
    EXPECT_EQ(len, 9);
    EXPECT_EQ(Bytes(data + 1, data + 9), Bytes(kIcode, kIcode + 8));

    // Unaddressed requests collide; addressed ones reach one label each.
    EXPECT_EQ(read(kAnyLabel, kIcode, 0, 1), sim::kCollision);
    const unsigned char mark[4] = {7, 7, 7, 7};
    ASSERT_EQ(ISO15693_Write(0, kAddressed, kIcode2, 0, mark), 0);
    ASSERT_EQ(read(kAddressed, kIcode2, 0, 1), 0);
    EXPECT_EQ(got(), (Bytes{7, 7, 7, 7}));
    ASSERT_EQ(read(kAddressed, kIcode, 0, 1), 0);
    EXPECT_EQ(got(), (Bytes{0, 0, 0, 0}));

    // Quiet labels drop out of the inventory.
    ASSERT_EQ(ISO15693_Stay_Quiet(0, kIcode), 0);
    ASSERT_EQ(ISO15693_Stay_Quiet(0, kTagIt), 0);
    ASSERT_EQ(ISO15693_Inventorys(0, data, &len), 0);
    EXPECT_EQ(got(), (Bytes{0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x01, 0x04, 0xE0}));
    EXPECT_EQ(read(kAnyLabel, kIcode, 0, 1), 0);  // only one label left to answer
}

TEST_F(Labels, EasAlarmAnswersOnlyWhileSetAndTheLockHolds) {
    place("icode");
    EXPECT_EQ(ISO15693_EAS_ALARM_ICODE(0, kAnyLabel, kIcode, data, &len), sim::kNoCard);
    ASSERT_EQ(ISO15693_SET_EAS_ICODE(0, kAnyLabel, kIcode), 0);
    ASSERT_EQ(ISO15693_EAS_ALARM_ICODE(0, kAnyLabel, kIcode, data, &len), 0);
    ASSERT_EQ(len, 32);
    EXPECT_EQ(got(), Bytes(sim::Iso15693Label::kEasSequence.begin(), sim::Iso15693Label::kEasSequence.end()));
    ASSERT_EQ(ISO15693_RESET_EAS_ICODE(0, kAnyLabel, kIcode), 0);
    EXPECT_EQ(ISO15693_EAS_ALARM_ICODE(0, kAnyLabel, kIcode, data, &len), sim::kNoCard);
    ASSERT_EQ(ISO15693_SET_EAS_ICODE(0, kAnyLabel, kIcode), 0);
    ASSERT_EQ(ISO15693_LOCK_EAS_ICODE(0, kAnyLabel, kIcode), 0);
    EXPECT_EQ(ISO15693_RESET_EAS_ICODE(0, kAnyLabel, kIcode), sim::kLabelLocked);
    EXPECT_EQ(ISO15693_LOCK_EAS_ICODE(0, kAnyLabel, kIcode), sim::kLabelAlreadyLocked);
    EXPECT_EQ(ISO15693_EAS_ALARM_ICODE(0, kAnyLabel, kIcode, data, &len), 0);
}

TEST_F(Labels, GenericCommandReturnsTheLabelsWholeAnswer) {
    place("icode");
    const unsigned char value[4] = {0xCA, 0xFE, 0xBA, 0xBE};
    ASSERT_EQ(ISO15693_Write(0, kAnyLabel, kIcode, 9, value), 0);
    unsigned char buffer[256] = {0x20, 9};  // read single block 9
    ASSERT_EQ(ISO15693_Command(0, kAddressed, kIcode, 2, buffer), 0);
    EXPECT_EQ(Bytes(buffer, buffer + 5), (Bytes{0x00, 0xCA, 0xFE, 0xBA, 0xBE}));
    // An error answer carries the error flag and code.
    unsigned char bad[256] = {0x20, 40};
    ASSERT_EQ(ISO15693_Command(0, kAddressed, kIcode, 2, bad), 0);
    EXPECT_EQ(Bytes(bad, bad + 2), (Bytes{0x01, 0x10}));
    // Custom commands carry the manufacturer code; the UID goes after it.
    unsigned char set_eas[256] = {0xA2, 0x04};
    ASSERT_EQ(ISO15693_Command(0, kAddressed, kIcode, 2, set_eas), 0);
    EXPECT_EQ(set_eas[0], 0x00);
    server->withReader([](sim::Reader& r) { EXPECT_TRUE(r.field.all<sim::Iso15693Label>()[0]->eas()); });
    // Nothing to send: an empty answer, the buffer untouched.
    unsigned char empty[4] = {0x5A, 0x5A, 0x5A, 0x5A};
    ASSERT_EQ(ISO15693_Command(0, kAnyLabel, kIcode, 0, empty), 0);
    EXPECT_EQ(empty[0], 0x5A);
}

TEST_F(Labels, OnlyTheIso15693ModeWithTheAntennaOnReachesLabels) {
    place("icode");
    ASSERT_EQ(rf_antenna_sta(0, 0), 0);
    EXPECT_EQ(read(kAnyLabel, kIcode, 0, 1), sim::kNoCard);
    ASSERT_EQ(rf_antenna_sta(0, 1), 0);
    ASSERT_EQ(rf_init_type(0, 's'), 0);
    EXPECT_EQ(read(kAnyLabel, kIcode, 0, 1), sim::kNoCard);
    EXPECT_NE(ISO15693_Inventory(0, data, &len), 0);
    ASSERT_EQ(rf_init_type(0, '1'), 0);
    EXPECT_EQ(ISO15693_Inventory(0, data, &len), 0);
}

}  // namespace
