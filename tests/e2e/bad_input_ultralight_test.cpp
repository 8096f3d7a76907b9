// Bad input for the Ultralight, Ultralight C and NTAG commands, with an
// NTAG213 in the field.
#include "bad_input.h"

namespace badinput {

std::vector<Row> ultralightRows() {
    return {
        {"rf_ul_select", kRefused, [](Io&) { return rf_ul_select(kAddr, nullptr, nullptr); }},
        {"rf_ul_select", kRefused, [](Io& io) { return rf_ul_select(kAddr, io.out(7), nullptr); }},
        {"rf_ul_select", kSent, [](Io& io) { return rf_ul_select(kWideAddr, io.out(7), io.len()); }},
        {"rf_ul_write", kRefused, [](Io&) { return rf_ul_write(kAddr, 4, nullptr); }},
        {"rf_ul_write", kSent, [](Io& io) { return rf_ul_write(kAddr, 255, io.in(4)); }},
        {"rf_Ul_C_Authentication", kRefused, [](Io&) { return rf_Ul_C_Authentication(kAddr, 0, nullptr); }},
        {"rf_Ul_C_Authentication", kSent, [](Io& io) { return rf_Ul_C_Authentication(kAddr, 255, io.in(16)); }},
        {"rf_Ul_C_ModifyKey", kRefused, [](Io&) { return rf_Ul_C_ModifyKey(kAddr, 0, nullptr); }},
        {"rf_Ul_C_ModifyKey", kSent, [](Io& io) { return rf_Ul_C_ModifyKey(kAddr, 255, io.in(16)); }},
        {"rf_Ul_C_Init", kRefused, [](Io&) { return rf_Ul_C_Init(kAddr, 0, 0, 0, nullptr); }},
        {"rf_Ul_C_Init", kSent, [](Io& io) { return rf_Ul_C_Init(kAddr, 255, 255, 255, io.in(16)); }},
        {"rf_Ul_C_Lock_Page", kRefused, [](Io&) { return rf_Ul_C_Lock_Page(kAddr, 2, nullptr); }},
        {"rf_Ul_C_Lock_Page", kSent, [](Io& io) { return rf_Ul_C_Lock_Page(kAddr, 255, io.in(4)); }},
        {"rf_NFC_Select_Sector", kSent, [](Io&) { return rf_NFC_Select_Sector(kWideAddr, 255); }},
        {"rf_Ntag_Get_Version", kRefused, [](Io&) { return rf_Ntag_Get_Version(kAddr, nullptr, nullptr); }},
        {"rf_Ntag_Get_Version", kRefused, [](Io& io) { return rf_Ntag_Get_Version(kAddr, nullptr, io.len()); }},
        {"rf_Ntag_Get_Version", kSent, [](Io& io) { return rf_Ntag_Get_Version(kAddr, io.out(kVar), io.len()); }},
        {"rf_Ntag_Fast_Read", kRefused, [](Io&) { return rf_Ntag_Fast_Read(kAddr, 0, 1, nullptr, nullptr); }},
        {"rf_Ntag_Fast_Read", kRefused, [](Io& io) { return rf_Ntag_Fast_Read(kAddr, 0, 1, io.out(kVar), nullptr); }},
        {"rf_Ntag_Fast_Read", kSent, [](Io& io) { return rf_Ntag_Fast_Read(kAddr, 0, 255, io.out(kVar), io.len()); }},
        {"rf_Ntag_Fast_Read", kSent, [](Io& io) { return rf_Ntag_Fast_Read(kAddr, 255, 0, io.out(kVar), io.len()); }},
        {"rf_Ntag_Fast_Read", kSent, [](Io& io) { return rf_Ntag_Fast_Read(kAddr, 0, 44, io.out(kVar), io.len()); }},
        {"rf_Ntag_Read_CNT", kRefused, [](Io& io) { return rf_Ntag_Read_CNT(kAddr, io.out(kVar), nullptr); }},
        {"rf_Ntag_Read_CNT", kSent, [](Io& io) { return rf_Ntag_Read_CNT(kAddr, io.out(kVar), io.len()); }},
        {"rf_Ntag_Password_Auth", kRefused,
         [](Io& io) { return rf_Ntag_Password_Auth(kAddr, nullptr, io.out(kVar), io.len()); }},
        {"rf_Ntag_Password_Auth", kRefused,
         [](Io& io) { return rf_Ntag_Password_Auth(kAddr, io.in(4), nullptr, io.len()); }},
        {"rf_Ntag_Password_Auth", kSent,
         [](Io& io) { return rf_Ntag_Password_Auth(kAddr, io.in(4), io.out(kVar), io.len()); }},
        {"rf_Ntag_Read_Signature", kRefused, [](Io&) { return rf_Ntag_Read_Signature(kAddr, nullptr, nullptr); }},
        {"rf_Ntag_Read_Signature", kSent,
         [](Io& io) { return rf_Ntag_Read_Signature(kAddr, io.out(kVar), io.len()); }},
    };
}

TEST_F(BadInput, Ultralight) {
    place("ntag213");
    unsigned char atqa[2];
    ASSERT_EQ(rf_request(kAddr, 0x52, atqa), 0);
    run(ultralightRows());
}

}  // namespace badinput
