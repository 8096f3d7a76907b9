// Bad input for the ST chip, AT88RF020 and FeliCa commands, with an SRIX4K
// in the field and the reader talking to ST chips.
#include "bad_input.h"

namespace badinput {

std::vector<Row> tagRows() {
    return {
        {"rf_st_select", kRefused, [](Io&) { return rf_st_select(kAddr, nullptr); }},
        {"rf_st_select", kSent, [](Io& io) { return rf_st_select(kWideAddr, io.out(kVar)); }},
        {"rf_sr176_readblock", kRefused, [](Io&) { return rf_sr176_readblock(kAddr, 0, nullptr, nullptr); }},
        {"rf_sr176_readblock", kRefused, [](Io& io) { return rf_sr176_readblock(kAddr, 0, io.out(2), nullptr); }},
        {"rf_sr176_readblock", kSent, [](Io& io) { return rf_sr176_readblock(kAddr, 255, io.out(2), io.len()); }},
        {"rf_sr176_writeblock", kRefused, [](Io&) { return rf_sr176_writeblock(kAddr, 0, nullptr); }},
        {"rf_sr176_writeblock", kSent, [](Io& io) { return rf_sr176_writeblock(kAddr, 255, io.in(2)); }},
        {"rf_sr176_protectblock", kSent, [](Io&) { return rf_sr176_protectblock(kAddr, 255); }},
        {"rf_srix4k_readblock", kRefused, [](Io& io) { return rf_srix4k_readblock(kAddr, 0, nullptr, io.len()); }},
        {"rf_srix4k_readblock", kSent, [](Io& io) { return rf_srix4k_readblock(kAddr, 255, io.out(4), io.len()); }},
        {"rf_srix4k_readblock", kSent, [](Io& io) { return rf_srix4k_readblock(kAddr, 254, io.out(4), io.len()); }},
        {"rf_srix4k_writeblock", kRefused, [](Io&) { return rf_srix4k_writeblock(kAddr, 7, nullptr); }},
        {"rf_srix4k_writeblock", kSent, [](Io& io) { return rf_srix4k_writeblock(kAddr, 254, io.in(4)); }},
        {"rf_srix4k_authenticate", kRefused,
         [](Io& io) { return rf_srix4k_authenticate(kAddr, nullptr, io.out(kVar), io.len()); }},
        {"rf_srix4k_authenticate", kRefused,
         [](Io& io) { return rf_srix4k_authenticate(kAddr, io.in(6), io.out(kVar), nullptr); }},
        {"rf_srix4k_authenticate", kSent,
         [](Io& io) { return rf_srix4k_authenticate(kAddr, io.in(6), io.out(kVar), io.len()); }},
        {"rf_srix4k_getuid", kRefused, [](Io&) { return rf_srix4k_getuid(kAddr, nullptr, nullptr); }},
        {"rf_srix4k_getuid", kSent, [](Io& io) { return rf_srix4k_getuid(kAddr, io.out(8), io.len()); }},
        {"rf_srix4k_writelockreg", kSent, [](Io&) { return rf_srix4k_writelockreg(kAddr, 255); }},
        {"rf_sri512_writelockreg", kRefused, [](Io&) { return rf_sri512_writelockreg(kAddr, nullptr); }},
        {"rf_sri512_writelockreg", kSent, [](Io& io) { return rf_sri512_writelockreg(kAddr, io.in(2)); }},
        {"rf_st_completion", kSent, [](Io&) { return rf_st_completion(kWideAddr); }},
        {"rf_at020_check", kRefused, [](Io&) { return rf_at020_check(kAddr, nullptr); }},
        {"rf_at020_check", kSent, [](Io& io) { return rf_at020_check(kAddr, io.in(8)); }},
        {"rf_at020_read", kRefused, [](Io&) { return rf_at020_read(kAddr, 0, nullptr, nullptr); }},
        {"rf_at020_read", kRefused, [](Io& io) { return rf_at020_read(kAddr, 0, nullptr, io.len()); }},
        {"rf_at020_read", kSent, [](Io& io) { return rf_at020_read(kAddr, 255, io.out(8), io.len()); }},
        {"rf_at020_write", kRefused, [](Io&) { return rf_at020_write(kAddr, 0, nullptr); }},
        {"rf_at020_write", kSent, [](Io& io) { return rf_at020_write(kAddr, 255, io.in(8)); }},
        {"rf_at020_lock", kRefused, [](Io&) { return rf_at020_lock(kAddr, nullptr); }},
        {"rf_at020_lock", kSent, [](Io& io) { return rf_at020_lock(kAddr, io.in(4)); }},
        {"rf_at020_count", kRefused, [](Io&) { return rf_at020_count(kAddr, nullptr); }},
        {"rf_at020_count", kSent, [](Io& io) { return rf_at020_count(kAddr, io.in(6)); }},
        {"rf_at020_deselect", kSent, [](Io&) { return rf_at020_deselect(kWideAddr); }},
        {"rf_felica_get_uid", kRefused, [](Io&) { return rf_felica_get_uid(kAddr, nullptr, nullptr); }},
        {"rf_felica_get_uid", kRefused, [](Io& io) { return rf_felica_get_uid(kAddr, io.out(6), nullptr); }},
        {"rf_felica_get_uid", kSent, [](Io& io) { return rf_felica_get_uid(kAddr, io.out(6), io.ilen()); }},
    };
}

TEST_F(BadInput, Tags) {
    place("srix4k");
    ASSERT_EQ(rf_init_type(kAddr, 's'), 0);
    run(tagRows());
}

}  // namespace badinput
