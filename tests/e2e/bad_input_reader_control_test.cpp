// Bad input for opening the reader and the reader-control commands.
#include "bad_input.h"

namespace badinput {
namespace {
// Rows that close the reader open it again, for the rows after them.
int reopened(int result) {
    rf_init_com(kAddr, 0x1A86, 0xE010);
    return result;
}
}  // namespace

std::vector<Row> readerControlRows() {
    return {
        {"rf_init_com", local(1), [](Io&) { return reopened(rf_init_com(kWideAddr, -1, INT_MAX)); }},
        {"rf_init_com", local(1), [](Io&) { return reopened(rf_init_com(kAddr, 0, 0)); }},
        {"rf_ClosePort", local(0), [](Io&) { rf_ClosePort(); return reopened(rf_ClosePort()); }},
        {"rf_GetErrorMessage", local(kPrimedStatus), [](Io&) { return rf_GetErrorMessage(); }},
        {"rf_free", local(0), [](Io&) { return rf_free(nullptr); }},
        {"lib_ver", kRefused, [](Io&) { return lib_ver(nullptr); }},
        {"rf_init_device_number", kSent, [](Io&) { return rf_init_device_number(kWideAddr, 0); }},
        // The largest address, then back to 0 from there.
        {"rf_init_device_number", kSent,
         [](Io&) {
             const int there = rf_init_device_number(kAddr, 0xFFFF);
             return there | rf_init_device_number(0xFFFF, 0);
         }},
        {"rf_get_device_number", kRefused, [](Io&) { return rf_get_device_number(kAddr, nullptr); }},
        {"rf_get_device_number", kSent, [](Io&) { unsigned short n; return rf_get_device_number(INT_MAX, &n); }},
        {"rf_get_model", kRefused, [](Io&) { return rf_get_model(kAddr, nullptr); }},
        {"rf_get_model", kSent, [](Io& io) { return rf_get_model(kWideAddr, io.out(2)); }},
        {"rf_get_snr", kRefused, [](Io&) { return rf_get_snr(kAddr, nullptr, nullptr); }},
        {"rf_get_snr", kRefused, [](Io& io) { return rf_get_snr(kAddr, io.out(kVar), nullptr); }},
        {"rf_get_snr", kRefused, [](Io& io) { return rf_get_snr(kAddr, nullptr, io.ilen()); }},
        {"rf_get_snr", kSent, [](Io& io) { return rf_get_snr(kWideAddr, io.out(kVar), io.ilen()); }},
        {"rf_beep", kSent, [](Io&) { return rf_beep(kWideAddr, 255); }},
        {"rf_init_type", kSent, [](Io&) { return rf_init_type(kAddr, 0xFF); }},
        {"rf_init_type", kSent, [](Io&) { return rf_init_type(kAddr, 0); }},
        {"rf_antenna_sta", kRefused, [](Io&) { return rf_antenna_sta(kAddr, 2); }},
        {"rf_antenna_sta", kRefused, [](Io&) { return rf_antenna_sta(kAddr, 255); }},
        {"rf_antenna_sta", kSent, [](Io&) { return rf_antenna_sta(kWideAddr, 1); }},
        {"rf_change_wait_time", kRefused, [](Io&) { return rf_change_wait_time(kAddr, nullptr, 1); }},
        {"rf_change_wait_time", kRefused, [](Io& io) { return rf_change_wait_time(kAddr, io.in(255), 255); }},
        {"rf_change_wait_time", kSent, [](Io&) { return rf_change_wait_time(kAddr, nullptr, 0); }},
        {"rf_change_wait_time", kSent, [](Io& io) { return rf_change_wait_time(kAddr, io.in(252), 252); }},
        {"rf_light", kSent, [](Io&) { return rf_light(kWideAddr, 255); }},
        {"rf_display", kRefused, [](Io&) { return rf_display(kAddr, 0, 0, nullptr); }},
        {"rf_display", kSent, [](Io& io) { return rf_display(kWideAddr, 255, 255, io.in(3)); }},
        {"rf_flash_write", kRefused, [](Io&) { return rf_flash_write(kAddr, 0, 0, 1, nullptr); }},
        {"rf_flash_write", kSent, [](Io&) { return rf_flash_write(kAddr, 0, 0, 0, nullptr); }},
        // 255 announced, 64 travel.
        {"rf_flash_write", kSent, [](Io& io) { return rf_flash_write(kAddr, 0xFFFF, 0xFFFF, 255, io.in(64)); }},
        {"rf_flash_write", kSent, [](Io& io) { return rf_flash_write(kAddr, 0, 0xFFC0, 64, io.in(64)); }},
        {"rf_flash_read", kRefused, [](Io&) { return rf_flash_read(kAddr, 0, 0, 16, nullptr); }},
        {"rf_flash_read", kSent, [](Io& io) { return rf_flash_read(kAddr, 0xFFFF, 0xFFFF, 255, io.out(255)); }},
        {"rf_flash_read", kSent, [](Io& io) { return rf_flash_read(kAddr, 0, 0xFFFF, 1, io.out(1)); }},
        {"door_acess", kRefused, [](Io&) { return door_acess(kAddr, 0x1D, 0, nullptr, nullptr); }},
        {"door_acess", kRefused, [](Io& io) { return door_acess(kAddr, 0x1D, 1, nullptr, io.out(258)); }},
        {"door_acess", kRefused, [](Io& io) { return door_acess(kAddr, 0x1D, 255, io.in(255), io.out(258)); }},
        {"door_acess", kSent, [](Io& io) { return door_acess(kWideAddr, 0x00, 0, nullptr, io.out(258)); }},
        {"door_acess", kSent, [](Io& io) { return door_acess(kAddr, 0x17, 252, io.in(252), io.out(258)); }},
        // Every byte escaped: the longest request frame there is.
        {"door_acess", kSent, [](Io& io) { return door_acess(kAddr, 0x10, 252, io.in(252, 0x10), io.out(258)); }},
    };
}

TEST_F(BadInput, ReaderControl) { run(readerControlRows()); }

}  // namespace badinput
