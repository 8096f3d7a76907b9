// Bad input for the one-call CPU card, PSAM and Wiegand helpers, with a
// type A CPU card and a SAM present. Lengths above a helper's limit are
// refused with -2, a null pointer or a key length other than 8 or 16 with 1.
#include "bad_input.h"

namespace badinput {
namespace {
// Each purse field, 0xFF-filled: amount, terminal number, date and time, aux.
struct Purse {
    explicit Purse(Io& io) : amount(io.in(4)), terminal(io.in(6)), date(io.in(7)), aux(io.in(4)) {}
    unsigned char *amount, *terminal, *date, *aux;
};
}  // namespace

std::vector<Row> cpuCardRows() {
    return {
        {"rf_CPUCard_Ext_Auth", kRefused,
         [](Io&) { return rf_CPUCard_Ext_Auth(kAddr, 0, 0, 8, nullptr, nullptr, nullptr); }},
        {"rf_CPUCard_Ext_Auth", kRefused,
         [](Io& io) { return rf_CPUCard_Ext_Auth(kAddr, 0, 0, 0, io.in(8), io.out(kVar), io.len()); }},
        {"rf_CPUCard_Ext_Auth", kRefused,
         [](Io& io) { return rf_CPUCard_Ext_Auth(kAddr, 0, 0, 255, io.in(255), io.out(kVar), io.len()); }},
        {"rf_CPUCard_Ext_Auth", kRefused,
         [](Io& io) { return rf_CPUCard_Ext_Auth(kAddr, 0, 0, 16, io.in(16), io.out(kVar), nullptr); }},
        {"rf_CPUCard_Ext_Auth", kSent,
         [](Io& io) { return rf_CPUCard_Ext_Auth(kWideAddr, 255, 255, 16, io.in(16), io.out(kVar), io.len()); }},
        {"rf_CPUCard_Ext_Auth_By_SAM", kRefused,
         [](Io&) { return rf_CPUCard_Ext_Auth_By_SAM(kAddr, 0, 0, 0, 0, nullptr, nullptr); }},
        {"rf_CPUCard_Ext_Auth_By_SAM", kSent,
         [](Io& io) { return rf_CPUCard_Ext_Auth_By_SAM(kAddr, 255, 255, 255, 255, io.out(kVar), io.len()); }},
        {"rf_CPUCard_Erase_DF", kRefused, [](Io& io) { return rf_CPUCard_Erase_DF(kAddr, nullptr, io.len()); }},
        {"rf_CPUCard_Erase_DF", kSent, [](Io& io) { return rf_CPUCard_Erase_DF(kAddr, io.out(kVar), io.len()); }},
        {"rf_CPUCard_Get_Rnd", kRefused, [](Io& io) { return rf_CPUCard_Get_Rnd(kAddr, 8, io.out(kVar), nullptr); }},
        {"rf_CPUCard_Get_Rnd", kSent, [](Io& io) { return rf_CPUCard_Get_Rnd(kAddr, 255, io.out(kVar), io.len()); }},
        {"rf_CPUCard_Read_Bin_File", kRefused,
         [](Io&) { return rf_CPUCard_Read_Bin_File(kAddr, 0, 0, 0, 0, nullptr, nullptr); }},
        {"rf_CPUCard_Read_Bin_File", kSent,
         [](Io& io) { return rf_CPUCard_Read_Bin_File(kAddr, 255, 255, 255, 255, io.out(kVar), io.len()); }},
        {"rf_CPUCard_Write_Bin_File", kTooLong,
         [](Io& io) { return rf_CPUCard_Write_Bin_File(kAddr, 0, 1, 0, 249, io.in(249), io.out(kVar), io.len()); }},
        {"rf_CPUCard_Write_Bin_File", kTooLong,
         [](Io& io) { return rf_CPUCard_Write_Bin_File(kAddr, 0, 1, 0, 255, io.in(255), io.out(kVar), io.len()); }},
        {"rf_CPUCard_Write_Bin_File", kRefused,
         [](Io& io) { return rf_CPUCard_Write_Bin_File(kAddr, 0, 1, 0, 1, nullptr, io.out(kVar), io.len()); }},
        {"rf_CPUCard_Write_Bin_File", kRefused,
         [](Io& io) { return rf_CPUCard_Write_Bin_File(kAddr, 0, 1, 0, 1, io.in(1), nullptr, nullptr); }},
        {"rf_CPUCard_Write_Bin_File", kSent,
         [](Io& io) { return rf_CPUCard_Write_Bin_File(kAddr, 0, 1, 0, 0, nullptr, io.out(kVar), io.len()); }},
        {"rf_CPUCard_Write_Bin_File", kSent, [](Io& io) {
             return rf_CPUCard_Write_Bin_File(kAddr, 255, 255, 255, 248, io.in(248), io.out(kVar), io.len());
         }},
        {"rf_CPUCard_Verify_Pin", kTooLong,
         [](Io& io) { return rf_CPUCard_Verify_Pin(kAddr, 0, 9, io.in(9), io.out(kVar), io.len()); }},
        {"rf_CPUCard_Verify_Pin", kTooLong,
         [](Io& io) { return rf_CPUCard_Verify_Pin(kAddr, 0, 255, io.in(255), io.out(kVar), io.len()); }},
        {"rf_CPUCard_Verify_Pin", kRefused,
         [](Io& io) { return rf_CPUCard_Verify_Pin(kAddr, 0, 8, nullptr, io.out(kVar), io.len()); }},
        {"rf_CPUCard_Verify_Pin", kSent,
         [](Io& io) { return rf_CPUCard_Verify_Pin(kAddr, 255, 8, io.in(8), io.out(kVar), io.len()); }},
        {"rf_CPUCard_Verify_Pin", kSent,
         [](Io& io) { return rf_CPUCard_Verify_Pin(kAddr, 0, 0, nullptr, io.out(kVar), io.len()); }},
        {"rf_CPUCard_Change_Pin", kTooLong,
         [](Io& io) { return rf_CPUCard_Change_Pin(kAddr, 0, 9, io.in(9), 0, nullptr, io.out(kVar), io.len()); }},
        {"rf_CPUCard_Change_Pin", kTooLong,
         [](Io& io) { return rf_CPUCard_Change_Pin(kAddr, 0, 0, nullptr, 255, io.in(255), io.out(kVar), io.len()); }},
        {"rf_CPUCard_Change_Pin", kRefused,
         [](Io& io) { return rf_CPUCard_Change_Pin(kAddr, 0, 8, nullptr, 8, io.in(8), io.out(kVar), io.len()); }},
        {"rf_CPUCard_Change_Pin", kRefused,
         [](Io& io) { return rf_CPUCard_Change_Pin(kAddr, 0, 8, io.in(8), 8, nullptr, io.out(kVar), io.len()); }},
        {"rf_CPUCard_Change_Pin", kSent,
         [](Io& io) { return rf_CPUCard_Change_Pin(kAddr, 255, 8, io.in(8), 8, io.in(8), io.out(kVar), io.len()); }},
        {"rf_CPUCard_Change_Pin", kSent,
         [](Io& io) { return rf_CPUCard_Change_Pin(kAddr, 0, 0, nullptr, 0, nullptr, io.out(kVar), io.len()); }},
        {"rf_CPUCard_PinReload", kRefused,
         [](Io& io) { return rf_CPUCard_PinReload(kAddr, 0, nullptr, 0, nullptr, io.out(kVar), io.len()); }},
        {"rf_CPUCard_PinReload", kTooLong,
         [](Io& io) { return rf_CPUCard_PinReload(kAddr, 0, io.in(16), 9, io.in(9), io.out(kVar), io.len()); }},
        {"rf_CPUCard_PinReload", kRefused,
         [](Io& io) { return rf_CPUCard_PinReload(kAddr, 0, io.in(16), 8, nullptr, io.out(kVar), io.len()); }},
        {"rf_CPUCard_PinReload", kSent,
         [](Io& io) { return rf_CPUCard_PinReload(kAddr, 255, io.in(16), 8, io.in(8), io.out(kVar), io.len()); }},
        {"rf_CPUCard_increment", kRefused, [](Io&) {
             return rf_CPUCard_increment(kAddr, 0, 0, nullptr, nullptr, nullptr, 0, nullptr, nullptr, nullptr);
         }},
        {"rf_CPUCard_increment", kTooLong, [](Io& io) {
             Purse p(io);
             return rf_CPUCard_increment(kAddr, 0, 0, p.amount, p.terminal, p.date, 17, io.in(17), io.out(kVar),
                                         io.len());
         }},
        {"rf_CPUCard_increment", kRefused, [](Io& io) {
             Purse p(io);
             return rf_CPUCard_increment(kAddr, 0, 0, p.amount, nullptr, p.date, 16, io.in(16), io.out(kVar),
                                         io.len());
         }},
        {"rf_CPUCard_increment", kRefused, [](Io& io) {
             Purse p(io);
             return rf_CPUCard_increment(kAddr, 0, 0, p.amount, p.terminal, p.date, 16, nullptr, io.out(kVar),
                                         io.len());
         }},
        {"rf_CPUCard_increment", kSent, [](Io& io) {
             Purse p(io);
             return rf_CPUCard_increment(kAddr, 255, 255, p.amount, p.terminal, p.date, 16, io.in(16), io.out(kVar),
                                         io.len());
         }},
        {"rf_CPUCard_decrement", kRefused, [](Io&) {
             return rf_CPUCard_decrement(kAddr, 0, 0, nullptr, nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                         nullptr);
         }},
        {"rf_CPUCard_decrement", kTooLong, [](Io& io) {
             Purse p(io);
             return rf_CPUCard_decrement(kAddr, 0, 0, p.amount, p.terminal, p.date, p.aux, 255, io.in(255),
                                         io.out(kVar), io.len());
         }},
        {"rf_CPUCard_decrement", kRefused, [](Io& io) {
             Purse p(io);
             return rf_CPUCard_decrement(kAddr, 0, 0, p.amount, p.terminal, p.date, nullptr, 8, io.in(8),
                                         io.out(kVar), io.len());
         }},
        {"rf_CPUCard_decrement", kSent, [](Io& io) {
             Purse p(io);
             return rf_CPUCard_decrement(kAddr, 255, 255, p.amount, p.terminal, p.date, p.aux, 0, nullptr,
                                         io.out(kVar), io.len());
         }},
        {"rf_CPUCard_increment_AuthBySam", kRefused, [](Io&) {
             return rf_CPUCard_increment_AuthBySam(kAddr, 0, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr);
         }},
        {"rf_CPUCard_increment_AuthBySam", kRefused, [](Io& io) {
             Purse p(io);
             return rf_CPUCard_increment_AuthBySam(kAddr, 0, 0, 0, p.amount, p.terminal, nullptr, io.out(kVar),
                                                   io.len());
         }},
        {"rf_CPUCard_increment_AuthBySam", kSent, [](Io& io) {
             Purse p(io);
             return rf_CPUCard_increment_AuthBySam(kAddr, 255, 255, 255, p.amount, p.terminal, p.date, io.out(kVar),
                                                   io.len());
         }},
        {"rf_CPUCard_decrement_AuthBySam", kRefused, [](Io&) {
             return rf_CPUCard_decrement_AuthBySam(kAddr, 0, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                   nullptr);
         }},
        {"rf_CPUCard_decrement_AuthBySam", kRefused, [](Io& io) {
             Purse p(io);
             return rf_CPUCard_decrement_AuthBySam(kAddr, 0, 0, 0, p.amount, p.terminal, p.date, nullptr,
                                                   io.out(kVar), io.len());
         }},
        {"rf_CPUCard_decrement_AuthBySam", kSent, [](Io& io) {
             Purse p(io);
             return rf_CPUCard_decrement_AuthBySam(kAddr, 255, 255, 255, p.amount, p.terminal, p.date, p.aux,
                                                   io.out(kVar), io.len());
         }},
        {"rf_CPUCard_ReadVal", kRefused, [](Io&) { return rf_CPUCard_ReadVal(kAddr, 2, nullptr, nullptr); }},
        {"rf_CPUCard_ReadVal", kSent, [](Io& io) { return rf_CPUCard_ReadVal(kAddr, 255, io.out(kVar), io.len()); }},
        {"rf_CPUCard_Get_TAProve", kRefused,
         [](Io& io) { return rf_CPUCard_Get_TAProve(kAddr, 6, nullptr, io.out(kVar), io.len()); }},
        {"rf_CPUCard_Get_TAProve", kRefused,
         [](Io& io) { return rf_CPUCard_Get_TAProve(kAddr, 6, io.in(2), io.out(kVar), nullptr); }},
        {"rf_CPUCard_Get_TAProve", kSent,
         [](Io& io) { return rf_CPUCard_Get_TAProve(kAddr, 255, io.in(2), io.out(kVar), io.len()); }},
        {"rf_CPUCard_Init_Similar_M1", kTooLong,
         [](Io& io) { return rf_CPUCard_Init_Similar_M1(kAddr, 0, 0, 9, io.in(9), io.out(kVar), io.len()); }},
        {"rf_CPUCard_Init_Similar_M1", kRefused,
         [](Io& io) { return rf_CPUCard_Init_Similar_M1(kAddr, 0, 0, 8, nullptr, io.out(kVar), io.len()); }},
        {"rf_CPUCard_Init_Similar_M1", kSent,
         [](Io& io) { return rf_CPUCard_Init_Similar_M1(kAddr, 255, 255, 8, io.in(8), io.out(kVar), io.len()); }},
        {"rf_CPUCard_Init_Similar_M1", kSent,
         [](Io& io) { return rf_CPUCard_Init_Similar_M1(kAddr, 0, 0, 0, nullptr, io.out(kVar), io.len()); }},
        {"rf_CPUCard_ChangeKey_Similar_M1", kTooLong,
         [](Io& io) { return rf_CPUCard_ChangeKey_Similar_M1(kAddr, 0, 19, io.in(19), io.out(kVar), io.len()); }},
        {"rf_CPUCard_ChangeKey_Similar_M1", kRefused,
         [](Io& io) { return rf_CPUCard_ChangeKey_Similar_M1(kAddr, 0, 18, nullptr, io.out(kVar), io.len()); }},
        {"rf_CPUCard_ChangeKey_Similar_M1", kSent,
         [](Io& io) { return rf_CPUCard_ChangeKey_Similar_M1(kAddr, 255, 18, io.in(18), io.out(kVar), io.len()); }},
        {"rf_CPUCard_SeLectDF_Similar_M1", kRefused,
         [](Io& io) { return rf_CPUCard_SeLectDF_Similar_M1(kAddr, 1, nullptr, io.len()); }},
        {"rf_CPUCard_SeLectDF_Similar_M1", kSent,
         [](Io& io) { return rf_CPUCard_SeLectDF_Similar_M1(kAddr, 255, io.out(kVar), io.len()); }},
        {"rf_CPUCard_Read_Record_Similar_M1", kRefused,
         [](Io& io) { return rf_CPUCard_Read_Record_Similar_M1(kAddr, 0, io.out(kVar), nullptr); }},
        {"rf_CPUCard_Read_Record_Similar_M1", kSent,
         [](Io& io) { return rf_CPUCard_Read_Record_Similar_M1(kAddr, 255, io.out(kVar), io.len()); }},
        {"rf_PSAM_Ext_Auth", kRefused,
         [](Io& io) { return rf_PSAM_Ext_Auth(kAddr, 0, 0, 0, 0, io.in(8), io.out(kVar), io.len()); }},
        {"rf_PSAM_Ext_Auth", kRefused,
         [](Io& io) { return rf_PSAM_Ext_Auth(kAddr, 0, 0, 0, 255, io.in(255), io.out(kVar), io.len()); }},
        {"rf_PSAM_Ext_Auth", kRefused,
         [](Io& io) { return rf_PSAM_Ext_Auth(kAddr, 0, 0, 0, 8, nullptr, io.out(kVar), io.len()); }},
        {"rf_PSAM_Ext_Auth", kSent,
         [](Io& io) { return rf_PSAM_Ext_Auth(kAddr, 255, 255, 255, 16, io.in(16), io.out(kVar), io.len()); }},
        {"rf_PSAM_Erase_DF", kRefused, [](Io&) { return rf_PSAM_Erase_DF(kAddr, 0, nullptr, nullptr); }},
        {"rf_PSAM_Erase_DF", kSent, [](Io& io) { return rf_PSAM_Erase_DF(kAddr, 255, io.out(kVar), io.len()); }},
        {"rf_PSAM_Init_For_Similar_M1", kTooLong,
         [](Io& io) { return rf_PSAM_Init_For_Similar_M1(kAddr, 0, 0, 0, 18, io.in(18), io.out(kVar), io.len()); }},
        {"rf_PSAM_Init_For_Similar_M1", kRefused,
         [](Io& io) { return rf_PSAM_Init_For_Similar_M1(kAddr, 0, 0, 0, 17, nullptr, io.out(kVar), io.len()); }},
        {"rf_PSAM_Init_For_Similar_M1", kSent, [](Io& io) {
             return rf_PSAM_Init_For_Similar_M1(kAddr, 255, 255, 255, 17, io.in(17), io.out(kVar), io.len());
         }},
        {"rf_PSAM_ChangeKey_For_Similar_M1", kTooLong,
         [](Io& io) { return rf_PSAM_ChangeKey_For_Similar_M1(kAddr, 0, 0, 255, io.in(255), io.out(kVar), io.len()); }},
        {"rf_PSAM_ChangeKey_For_Similar_M1", kRefused,
         [](Io& io) { return rf_PSAM_ChangeKey_For_Similar_M1(kAddr, 0, 0, 17, nullptr, io.out(kVar), io.len()); }},
        {"rf_PSAM_ChangeKey_For_Similar_M1", kSent,
         [](Io& io) {
             return rf_PSAM_ChangeKey_For_Similar_M1(kAddr, 255, 255, 17, io.in(17), io.out(kVar), io.len());
         }},
        {"rf_PSAM_SeLectDF_For_Similar_M1", kRefused,
         [](Io& io) { return rf_PSAM_SeLectDF_For_Similar_M1(kAddr, 0, 1, nullptr, io.len()); }},
        {"rf_PSAM_SeLectDF_For_Similar_M1", kSent,
         [](Io& io) { return rf_PSAM_SeLectDF_For_Similar_M1(kAddr, 255, 255, io.out(kVar), io.len()); }},
        {"rf_PSAM_InternalAuth", kTooLong,
         [](Io& io) { return rf_PSAM_InternalAuth(kAddr, 0, 0, 0, 17, io.in(17), io.out(kVar), io.len()); }},
        {"rf_PSAM_InternalAuth", kRefused,
         [](Io& io) { return rf_PSAM_InternalAuth(kAddr, 0, 0, 0, 16, nullptr, io.out(kVar), io.len()); }},
        {"rf_PSAM_InternalAuth", kSent,
         [](Io& io) { return rf_PSAM_InternalAuth(kAddr, 255, 255, 255, 16, io.in(16), io.out(kVar), io.len()); }},
        {"rf_PSAM_InternalAuth", kSent,
         [](Io& io) { return rf_PSAM_InternalAuth(kAddr, 0, 0, 0, 0, nullptr, io.out(kVar), io.len()); }},
        {"rf_PSAMCalIncMac", kRefused, [](Io&) {
             return rf_PSAMCalIncMac(kAddr, 0, 0, nullptr, nullptr, nullptr, nullptr, 0, nullptr, nullptr, 0, nullptr,
                                     nullptr, nullptr);
         }},
        {"rf_PSAMCalIncMac", kTooLong, [](Io& io) {
             Purse p(io);
             return rf_PSAMCalIncMac(kAddr, 0, 0, io.in(4), io.in(2), p.aux, p.amount, 6, p.terminal, p.date, 25,
                                     io.in(25), io.out(kVar), io.len());
         }},
        {"rf_PSAMCalIncMac", kRefused, [](Io& io) {
             Purse p(io);
             return rf_PSAMCalIncMac(kAddr, 0, 0, io.in(4), io.in(2), p.aux, p.amount, 6, p.terminal, p.date, 24,
                                     nullptr, io.out(kVar), io.len());
         }},
        {"rf_PSAMCalIncMac", kSent, [](Io& io) {
             Purse p(io);
             return rf_PSAMCalIncMac(kAddr, 255, 255, io.in(4), io.in(2), p.aux, p.amount, 255, p.terminal, p.date,
                                     24, io.in(24), io.out(kVar), io.len());
         }},
        {"rf_PSAMCalDecMac", kRefused, [](Io&) {
             return rf_PSAMCalDecMac(kAddr, 0, 0, nullptr, nullptr, nullptr, nullptr, 0, nullptr, nullptr, 0, nullptr,
                                     nullptr, nullptr);
         }},
        {"rf_PSAMCalDecMac", kTooLong, [](Io& io) {
             Purse p(io);
             return rf_PSAMCalDecMac(kAddr, 0, 0, io.in(4), io.in(2), io.in(2), p.amount, 6, p.terminal, p.date,
                                     255, io.in(255), io.out(kVar), io.len());
         }},
        {"rf_PSAMCalDecMac", kSent, [](Io& io) {
             Purse p(io);
             return rf_PSAMCalDecMac(kAddr, 255, 255, io.in(4), io.in(2), io.in(2), p.amount, 255, p.terminal, p.date,
                                     0, nullptr, io.out(kVar), io.len());
         }},
        {"rf_PSAMKeyScatter", kTooLong,
         [](Io& io) { return rf_PSAMKeyScatter(kAddr, 0, 0, 1, 77, io.in(77), io.out(kVar), io.len()); }},
        {"rf_PSAMKeyScatter", kRefused,
         [](Io& io) { return rf_PSAMKeyScatter(kAddr, 0, 0, 1, 76, nullptr, io.out(kVar), io.len()); }},
        {"rf_PSAMKeyScatter", kSent,
         [](Io& io) { return rf_PSAMKeyScatter(kAddr, 255, 255, 255, 76, io.in(76), io.out(kVar), io.len()); }},
        {"rf_PSAM_Read_Bin_File", kRefused,
         [](Io&) { return rf_PSAM_Read_Bin_File(kAddr, 0, 0, 0, 0, 0, nullptr, nullptr); }},
        {"rf_PSAM_Read_Bin_File", kSent,
         [](Io& io) { return rf_PSAM_Read_Bin_File(kAddr, 255, 255, 255, 255, 255, io.out(kVar), io.len()); }},
        {"rf_PSAM_Write_Bin_File", kTooLong, [](Io& io) {
             return rf_PSAM_Write_Bin_File(kAddr, 0, 0, 1, 0, 248, io.in(248), io.out(kVar), io.len());
         }},
        {"rf_PSAM_Write_Bin_File", kRefused,
         [](Io& io) { return rf_PSAM_Write_Bin_File(kAddr, 0, 0, 1, 0, 1, nullptr, io.out(kVar), io.len()); }},
        {"rf_PSAM_Write_Bin_File", kSent, [](Io& io) {
             return rf_PSAM_Write_Bin_File(kAddr, 255, 255, 255, 255, 247, io.in(247), io.out(kVar), io.len());
         }},
        {"rf_CPU_Init_For_Wiegand_Reader", kTooLong,
         [](Io& io) { return rf_CPU_Init_For_Wiegand_Reader(kAddr, 26, io.in(49), 49, io.out(kVar), io.len()); }},
        {"rf_CPU_Init_For_Wiegand_Reader", kRefused,
         [](Io& io) { return rf_CPU_Init_For_Wiegand_Reader(kAddr, 26, nullptr, 48, io.out(kVar), io.len()); }},
        {"rf_CPU_Init_For_Wiegand_Reader", kSent,
         [](Io& io) { return rf_CPU_Init_For_Wiegand_Reader(kAddr, 255, io.in(48), 48, io.out(kVar), io.len()); }},
        {"rf_CPU_Init_For_Wiegand_Reader", kSent,
         [](Io& io) { return rf_CPU_Init_For_Wiegand_Reader(kAddr, 0, nullptr, 0, io.out(kVar), io.len()); }},
        {"rf_CPU_UpdataData_For_Wiegand_Reader", kTooLong, [](Io& io) {
             return rf_CPU_UpdataData_For_Wiegand_Reader(kAddr, 0, io.in(255), 255, io.out(kVar), io.len());
         }},
        {"rf_CPU_UpdataData_For_Wiegand_Reader", kRefused,
         [](Io& io) { return rf_CPU_UpdataData_For_Wiegand_Reader(kAddr, 0, nullptr, 1, io.out(kVar), io.len()); }},
        {"rf_CPU_UpdataData_For_Wiegand_Reader", kSent, [](Io& io) {
             return rf_CPU_UpdataData_For_Wiegand_Reader(kAddr, 255, io.in(48), 48, io.out(kVar), io.len());
         }},
        {"rf_CPU_ReadData_From_Wiegand_Tag", kRefused,
         [](Io& io) { return rf_CPU_ReadData_From_Wiegand_Tag(kAddr, nullptr, io.len()); }},
        {"rf_CPU_ReadData_From_Wiegand_Tag", kSent,
         [](Io& io) { return rf_CPU_ReadData_From_Wiegand_Tag(kWideAddr, io.out(kVar), io.len()); }},
        {"rf_CPU_Tag_Ext_Auth", kRefused,
         [](Io&) { return rf_CPU_Tag_Ext_Auth(kAddr, 1, 8, nullptr, 0, 16, nullptr, nullptr, nullptr); }},
        {"rf_CPU_Tag_Ext_Auth", kRefused,
         [](Io& io) { return rf_CPU_Tag_Ext_Auth(kAddr, 1, 8, nullptr, 0, 16, io.in(16), io.out(kVar), io.len()); }},
        {"rf_CPU_Tag_Ext_Auth", kRefused,
         [](Io& io) { return rf_CPU_Tag_Ext_Auth(kAddr, 0, 0, nullptr, 0, 0, io.in(8), io.out(kVar), io.len()); }},
        {"rf_CPU_Tag_Ext_Auth", kRefused, [](Io& io) {
             return rf_CPU_Tag_Ext_Auth(kAddr, 0, 0, nullptr, 0, 255, io.in(255), io.out(kVar), io.len());
         }},
        {"rf_CPU_Tag_Ext_Auth", kRefused,
         [](Io& io) { return rf_CPU_Tag_Ext_Auth(kAddr, 0, 0, nullptr, 0, 8, io.in(8), io.out(kVar), nullptr); }},
        // Without diversification the UID is not needed, whatever its length.
        {"rf_CPU_Tag_Ext_Auth", kSent, [](Io& io) {
             return rf_CPU_Tag_Ext_Auth(kAddr, 0, 255, nullptr, 255, 8, io.in(8), io.out(kVar), io.len());
         }},
        // Diversification reads at most 8 UID bytes.
        {"rf_CPU_Tag_Ext_Auth", kSent, [](Io& io) {
             return rf_CPU_Tag_Ext_Auth(kWideAddr, 1, 255, io.in(8), 255, 16, io.in(16), io.out(kVar), io.len());
         }},
    };
}

TEST_F(BadInput, CpuCard) {
    place("cpu-a");
    place("sam");
    unsigned char ats[kVar], ats_len = 0;
    ASSERT_EQ(rf_typea_rst(kAddr, 0x52, ats, &ats_len), 0);
    run(cpuCardRows());
}

}  // namespace badinput
