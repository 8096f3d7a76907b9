// Bad input for the ISO15693 label commands, with a label in the field.
// Every row names flags 0xFF (address and select flags both set) unless
// it tests something else.
#include "bad_input.h"

namespace badinput {
namespace {
constexpr unsigned char kFlags = 0xFF;
}  // namespace

std::vector<Row> iso15693Rows() {
    return {
        {"ISO15693_Inventory", kRefused, [](Io&) { return ISO15693_Inventory(kAddr, nullptr, nullptr); }},
        {"ISO15693_Inventory", kRefused, [](Io& io) { return ISO15693_Inventory(kAddr, io.out(kVar), nullptr); }},
        {"ISO15693_Inventory", kSent, [](Io& io) { return ISO15693_Inventory(kWideAddr, io.out(kVar), io.len()); }},
        {"ISO15693_Inventorys", kRefused, [](Io& io) { return ISO15693_Inventorys(kAddr, nullptr, io.len()); }},
        {"ISO15693_Inventorys", kSent, [](Io& io) { return ISO15693_Inventorys(kAddr, io.out(kVar), io.len()); }},
        {"ISO15693_Stay_Quiet", kRefused, [](Io&) { return ISO15693_Stay_Quiet(kAddr, nullptr); }},
        {"ISO15693_Stay_Quiet", kSent, [](Io& io) { return ISO15693_Stay_Quiet(kAddr, io.in(8)); }},
        {"ISO15693_Select", kRefused, [](Io&) { return ISO15693_Select(kAddr, nullptr); }},
        {"ISO15693_Select", kSent, [](Io& io) { return ISO15693_Select(kAddr, io.in(8)); }},
        {"ISO15693_Reset_To_Ready", kRefused, [](Io&) { return ISO15693_Reset_To_Ready(kAddr, kFlags, nullptr); }},
        {"ISO15693_Reset_To_Ready", kSent, [](Io& io) { return ISO15693_Reset_To_Ready(kAddr, kFlags, io.in(8)); }},
        {"ISO15693_Read", kRefused,
         [](Io& io) { return ISO15693_Read(kAddr, kFlags, nullptr, 0, 1, io.out(kVar), io.len()); }},
        {"ISO15693_Read", kRefused,
         [](Io& io) { return ISO15693_Read(kAddr, kFlags, io.in(8), 0, 1, nullptr, io.len()); }},
        {"ISO15693_Read", kRefused,
         [](Io& io) { return ISO15693_Read(kAddr, kFlags, io.in(8), 0, 16, io.out(kVar), io.len()); }},
        {"ISO15693_Read", kRefused,
         [](Io& io) { return ISO15693_Read(kAddr, kFlags, io.in(8), 0, 255, io.out(kVar), io.len()); }},
        {"ISO15693_Read", kSent,
         [](Io& io) { return ISO15693_Read(kAddr, kFlags, io.in(8), 255, 15, io.out(kVar), io.len()); }},
        // Unaddressed, with the security byte of each of 15 blocks.
        {"ISO15693_Read", kSent,
         [](Io& io) { return ISO15693_Read(kAddr, 0x42, io.in(8), 0, 15, io.out(kVar), io.len()); }},
        {"ISO15693_Write", kRefused, [](Io& io) { return ISO15693_Write(kAddr, kFlags, nullptr, 0, io.in(4)); }},
        {"ISO15693_Write", kRefused, [](Io& io) { return ISO15693_Write(kAddr, kFlags, io.in(8), 0, nullptr); }},
        {"ISO15693_Write", kSent, [](Io& io) { return ISO15693_Write(kAddr, kFlags, io.in(8), 255, io.in(4)); }},
        {"ISO15693_Write_Multi_Block", kRefused,
         [](Io& io) { return ISO15693_Write_Multi_Block(kAddr, kFlags, nullptr, 0, 1, io.in(4)); }},
        {"ISO15693_Write_Multi_Block", kRefused,
         [](Io& io) { return ISO15693_Write_Multi_Block(kAddr, kFlags, io.in(8), 0, 10, nullptr); }},
        {"ISO15693_Write_Multi_Block", kRefused,
         [](Io& io) { return ISO15693_Write_Multi_Block(kAddr, kFlags, io.in(8), 0, 11, io.in(44)); }},
        {"ISO15693_Write_Multi_Block", kRefused,
         [](Io& io) { return ISO15693_Write_Multi_Block(kAddr, kFlags, io.in(8), 0, 255, io.in(1020)); }},
        {"ISO15693_Write_Multi_Block", kSent,
         [](Io& io) { return ISO15693_Write_Multi_Block(kAddr, kFlags, io.in(8), 255, 10, io.in(40)); }},
        {"ISO15693_Write_Multi_Block", kSent,
         [](Io& io) { return ISO15693_Write_Multi_Block(kAddr, kFlags, io.in(8), 0, 0, nullptr); }},
        {"ISO15693_Lock_Block", kRefused, [](Io&) { return ISO15693_Lock_Block(kAddr, kFlags, nullptr, 0); }},
        {"ISO15693_Lock_Block", kSent, [](Io& io) { return ISO15693_Lock_Block(kAddr, kFlags, io.in(8), 255); }},
        {"ISO15693_Write_AFI", kRefused, [](Io&) { return ISO15693_Write_AFI(kAddr, kFlags, nullptr, 0); }},
        {"ISO15693_Write_AFI", kSent, [](Io& io) { return ISO15693_Write_AFI(kAddr, kFlags, io.in(8), 255); }},
        {"ISO15693_Lock_AFI", kRefused, [](Io&) { return ISO15693_Lock_AFI(kAddr, kFlags, nullptr); }},
        {"ISO15693_Lock_AFI", kSent, [](Io& io) { return ISO15693_Lock_AFI(kAddr, kFlags, io.in(8)); }},
        {"ISO15693_Write_DSFID", kRefused, [](Io&) { return ISO15693_Write_DSFID(kAddr, kFlags, nullptr, 0); }},
        {"ISO15693_Write_DSFID", kSent, [](Io& io) { return ISO15693_Write_DSFID(kAddr, kFlags, io.in(8), 255); }},
        {"ISO15693_Lock_DSFID", kRefused, [](Io&) { return ISO15693_Lock_DSFID(kAddr, kFlags, nullptr); }},
        {"ISO15693_Lock_DSFID", kSent, [](Io& io) { return ISO15693_Lock_DSFID(kAddr, kFlags, io.in(8)); }},
        {"ISO15693_Get_System_Information", kRefused,
         [](Io& io) { return ISO15693_Get_System_Information(kAddr, kFlags, nullptr, io.out(kVar), io.len()); }},
        {"ISO15693_Get_System_Information", kRefused,
         [](Io& io) { return ISO15693_Get_System_Information(kAddr, kFlags, io.in(8), io.out(kVar), nullptr); }},
        {"ISO15693_Get_System_Information", kSent,
         [](Io& io) { return ISO15693_Get_System_Information(kAddr, 0, io.in(8), io.out(kVar), io.len()); }},
        {"ISO15693_Get_Block_Security", kRefused,
         [](Io& io) { return ISO15693_Get_Block_Security(kAddr, kFlags, nullptr, 0, 1, io.out(kVar), io.len()); }},
        {"ISO15693_Get_Block_Security", kRefused,
         [](Io& io) { return ISO15693_Get_Block_Security(kAddr, kFlags, io.in(8), 0, 64, io.out(kVar), io.len()); }},
        {"ISO15693_Get_Block_Security", kRefused,
         [](Io& io) { return ISO15693_Get_Block_Security(kAddr, kFlags, io.in(8), 0, 255, io.out(kVar), io.len()); }},
        {"ISO15693_Get_Block_Security", kSent,
         [](Io& io) { return ISO15693_Get_Block_Security(kAddr, 0x02, io.in(8), 255, 63, io.out(kVar), io.len()); }},
        {"ISO15693_SET_EAS_ICODE", kRefused, [](Io&) { return ISO15693_SET_EAS_ICODE(kAddr, kFlags, nullptr); }},
        {"ISO15693_SET_EAS_ICODE", kSent, [](Io& io) { return ISO15693_SET_EAS_ICODE(kAddr, kFlags, io.in(8)); }},
        {"ISO15693_RESET_EAS_ICODE", kRefused, [](Io&) { return ISO15693_RESET_EAS_ICODE(kAddr, kFlags, nullptr); }},
        {"ISO15693_RESET_EAS_ICODE", kSent,
         [](Io& io) { return ISO15693_RESET_EAS_ICODE(kAddr, kFlags, io.in(8)); }},
        {"ISO15693_LOCK_EAS_ICODE", kRefused, [](Io&) { return ISO15693_LOCK_EAS_ICODE(kAddr, kFlags, nullptr); }},
        {"ISO15693_LOCK_EAS_ICODE", kSent, [](Io& io) { return ISO15693_LOCK_EAS_ICODE(kAddr, kFlags, io.in(8)); }},
        {"ISO15693_EAS_ALARM_ICODE", kRefused,
         [](Io&) { return ISO15693_EAS_ALARM_ICODE(kAddr, kFlags, nullptr, nullptr, nullptr); }},
        {"ISO15693_EAS_ALARM_ICODE", kRefused,
         [](Io& io) { return ISO15693_EAS_ALARM_ICODE(kAddr, kFlags, io.in(8), io.out(kVar), nullptr); }},
        {"ISO15693_EAS_ALARM_ICODE", kSent,
         [](Io& io) { return ISO15693_EAS_ALARM_ICODE(kAddr, 0x02, io.in(8), io.out(kVar), io.len()); }},
        {"ISO15693_Command", kRefused, [](Io& io) { return ISO15693_Command(kAddr, kFlags, io.in(8), 5, nullptr); }},
        {"ISO15693_Command", kRefused,
         [](Io& io) { return ISO15693_Command(kAddr, kFlags, nullptr, 0, io.out(kVar)); }},
        {"ISO15693_Command", kRefused,
         [](Io& io) { return ISO15693_Command(kAddr, kFlags, io.in(8), 243, io.out(kVar)); }},
        {"ISO15693_Command", kRefused,
         [](Io& io) { return ISO15693_Command(kAddr, kFlags, io.in(8), 255, io.out(255)); }},
        {"ISO15693_Command", kSent, [](Io& io) { return ISO15693_Command(kAddr, kFlags, io.in(8), 0, io.out(kVar)); }},
        {"ISO15693_Command", kSent,
         [](Io& io) { return ISO15693_Command(kWideAddr, kFlags, io.in(8), 242, io.out(kVar)); }},
    };
}

TEST_F(BadInput, Iso15693) {
    place("icode");
    ASSERT_EQ(rf_init_type(kAddr, '1'), 0);
    run(iso15693Rows());
}

}  // namespace badinput
