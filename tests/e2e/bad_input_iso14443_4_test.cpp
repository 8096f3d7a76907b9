// Bad input for the processor-card channels: type A and B cards, the SAM
// slots and the contact slot, with a type A CPU card and a SAM present.
#include "bad_input.h"

namespace badinput {

std::vector<Row> iso14443_4Rows() {
    return {
        {"rf_init_sam", kSent, [](Io&) { return rf_init_sam(kWideAddr, 255); }},
        {"rf_sam_rst", kRefused, [](Io&) { return rf_sam_rst(kAddr, nullptr, nullptr); }},
        {"rf_sam_rst", kRefused, [](Io& io) { return rf_sam_rst(kAddr, io.out(kVar), nullptr); }},
        {"rf_sam_rst", kSent, [](Io& io) { return rf_sam_rst(kAddr, io.out(kVar), io.len()); }},
        {"rf_sam_cos", kRefused, [](Io& io) { return rf_sam_cos(kAddr, nullptr, 5, io.out(kVar), io.len()); }},
        {"rf_sam_cos", kRefused, [](Io& io) { return rf_sam_cos(kAddr, io.in(5), 5, nullptr, io.len()); }},
        {"rf_sam_cos", kRefused, [](Io& io) { return rf_sam_cos(kAddr, io.in(253), 253, io.out(kVar), io.len()); }},
        {"rf_sam_cos", kSent, [](Io& io) { return rf_sam_cos(kAddr, nullptr, 0, io.out(kVar), io.len()); }},
        {"rf_sam_cos", kSent, [](Io& io) { return rf_sam_cos(kAddr, io.in(252), 252, io.out(kVar), io.len()); }},
        {"rf_sam_rst_2", kRefused, [](Io& io) { return rf_sam_rst_2(kAddr, nullptr, 1, io.out(kVar), io.len()); }},
        {"rf_sam_rst_2", kRefused, [](Io& io) { return rf_sam_rst_2(kAddr, io.in(1), 1, io.out(kVar), nullptr); }},
        {"rf_sam_rst_2", kRefused,
         [](Io& io) { return rf_sam_rst_2(kAddr, io.in(255), 255, io.out(kVar), io.len()); }},
        {"rf_sam_rst_2", kSent, [](Io& io) { return rf_sam_rst_2(kAddr, nullptr, 0, io.out(kVar), io.len()); }},
        // SAM number 15, rate 15.
        {"rf_sam_rst_2", kSent, [](Io& io) { return rf_sam_rst_2(kAddr, io.in(3), 3, io.out(kVar), io.len()); }},
        {"rf_sam_cos_2", kRefused,
         [](Io& io) { return rf_sam_cos_2(kAddr, 0, nullptr, 5, io.out(kVar), io.len()); }},
        {"rf_sam_cos_2", kRefused,
         [](Io& io) { return rf_sam_cos_2(kAddr, 0, io.in(252), 252, io.out(kVar), io.len()); }},
        {"rf_sam_cos_2", kRefused, [](Io& io) { return rf_sam_cos_2(kAddr, 0, io.in(5), 5, io.out(kVar), nullptr); }},
        {"rf_sam_cos_2", kSent,
         [](Io& io) { return rf_sam_cos_2(kAddr, 255, io.in(251), 251, io.out(kVar), io.len()); }},
        {"rf_sam_cos_2", kSent, [](Io& io) { return rf_sam_cos_2(kAddr, 0, nullptr, 0, io.out(kVar), io.len()); }},
        {"rf_ContactCpuCard_Power_OnOff", kSent, [](Io&) { return rf_ContactCpuCard_Power_OnOff(kAddr, 255); }},
        {"rf_ContactCpuCard_VGShort_Check", kRefused,
         [](Io&) { return rf_ContactCpuCard_VGShort_Check(kAddr, nullptr); }},
        {"rf_ContactCpuCard_VGShort_Check", kSent,
         [](Io& io) { return rf_ContactCpuCard_VGShort_Check(kWideAddr, io.out(1)); }},
        {"rf_ContactCpuCard_In_Check", kRefused, [](Io&) { return rf_ContactCpuCard_In_Check(kAddr, nullptr); }},
        {"rf_ContactCpuCard_In_Check", kSent, [](Io& io) { return rf_ContactCpuCard_In_Check(kAddr, io.out(1)); }},
        {"rf_typea_rst", kRefused, [](Io&) { return rf_typea_rst(kAddr, 0x52, nullptr, nullptr); }},
        {"rf_typea_rst", kRefused, [](Io& io) { return rf_typea_rst(kAddr, 0x52, nullptr, io.len()); }},
        {"rf_typea_rst", kSent, [](Io& io) { return rf_typea_rst(kAddr, 0xFF, io.out(kVar), io.len()); }},
        {"rf_typea_rst", kSent, [](Io& io) { return rf_typea_rst(kAddr, 0x52, io.out(kVar), io.len()); }},
        {"rf_cos_command", kRefused,
         [](Io& io) { return rf_cos_command(kAddr, nullptr, 5, io.out(kVar), io.len()); }},
        {"rf_cos_command", kRefused, [](Io& io) { return rf_cos_command(kAddr, io.in(5), 5, io.out(kVar), nullptr); }},
        {"rf_cos_command", kRefused,
         [](Io& io) { return rf_cos_command(kAddr, io.in(255), 255, io.out(kVar), io.len()); }},
        {"rf_cos_command", kSent, [](Io& io) { return rf_cos_command(kAddr, nullptr, 0, io.out(kVar), io.len()); }},
        {"rf_cos_command", kSent,
         [](Io& io) { return rf_cos_command(kAddr, io.in(252), 252, io.out(kVar), io.len()); }},
        {"rf_cl_deselect", kSent, [](Io&) { return rf_cl_deselect(kWideAddr); }},
        {"rf_transceive", kRefused, [](Io& io) { return rf_transceive(kAddr, nullptr, 1, io.out(kVar), io.len()); }},
        {"rf_transceive", kRefused, [](Io& io) { return rf_transceive(kAddr, io.in(1), 1, nullptr, nullptr); }},
        {"rf_transceive", kRefused,
         [](Io& io) { return rf_transceive(kAddr, io.in(253), 253, io.out(kVar), io.len()); }},
        {"rf_transceive", kSent, [](Io& io) { return rf_transceive(kAddr, nullptr, 0, io.out(kVar), io.len()); }},
        {"rf_transceive", kSent,
         [](Io& io) { return rf_transceive(kAddr, io.in(252), 252, io.out(kVar), io.len()); }},
        {"rf_atqb", kRefused, [](Io& io) { return rf_atqb(kAddr, 2, io.out(12), io.len()); }},
        {"rf_atqb", kRefused, [](Io& io) { return rf_atqb(kAddr, 255, io.out(12), io.len()); }},
        {"rf_atqb", kRefused, [](Io& io) { return rf_atqb(kAddr, 0, nullptr, io.len()); }},
        {"rf_atqb", kRefused, [](Io& io) { return rf_atqb(kAddr, 1, io.out(12), nullptr); }},
        {"rf_atqb", kSent, [](Io& io) { return rf_atqb(kWideAddr, 1, io.out(12), io.len()); }},
        {"rf_get_namecard_uid", kRefused, [](Io& io) { return rf_get_namecard_uid(kAddr, 2, io.out(8), io.len()); }},
        {"rf_get_namecard_uid", kRefused, [](Io& io) { return rf_get_namecard_uid(kAddr, 0, io.out(8), nullptr); }},
        {"rf_get_namecard_uid", kRefused, [](Io& io) { return rf_get_namecard_uid(kAddr, 1, nullptr, io.len()); }},
        {"rf_get_namecard_uid", kSent, [](Io& io) { return rf_get_namecard_uid(kAddr, 0, io.out(8), io.len()); }},
        {"rf_attrib", kSent, [](Io&) { return rf_attrib(kAddr, UINT_MAX, 255); }},
        {"rf_attrib", kSent, [](Io&) { return rf_attrib(kWideAddr, 0, 0); }},
        {"rf_typeb_cos", kRefused, [](Io& io) { return rf_typeb_cos(kAddr, 0, nullptr, 5, io.out(kVar), io.len()); }},
        {"rf_typeb_cos", kRefused, [](Io& io) { return rf_typeb_cos(kAddr, 0, io.in(5), 5, nullptr, io.len()); }},
        {"rf_typeb_cos", kRefused,
         [](Io& io) { return rf_typeb_cos(kAddr, 0, io.in(252), 252, io.out(kVar), io.len()); }},
        {"rf_typeb_cos", kSent,
         [](Io& io) { return rf_typeb_cos(kAddr, 255, io.in(251), 251, io.out(kVar), io.len()); }},
        {"rf_typeb_cos", kSent, [](Io& io) { return rf_typeb_cos(kAddr, 0, nullptr, 0, io.out(kVar), io.len()); }},
        {"rf_hltb", kSent, [](Io&) { return rf_hltb(kWideAddr, UINT_MAX); }},
    };
}

TEST_F(BadInput, Iso14443_4) {
    place("cpu-a");
    place("sam");
    run(iso14443_4Rows());
}

}  // namespace badinput
