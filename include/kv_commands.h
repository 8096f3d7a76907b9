// The reader's commands, each written once: the library function that sends
// it, its command code and its command family. The command library takes its
// code constants from here, the simulator registers its handlers by these
// entries, and kovalink's trace names the frames it decodes with them.
// Shared by the libraries and the programs, never installed.
//
// Several families reuse a code (0x70 is rf_request_080 for type A cards
// and ISO15693_Inventory for labels): the reader tells them apart by the
// card family it was set to, so a code alone does not name one command.
#pragma once

#include <cstdint>

// KV_COMMANDS(X) expands X(name, code, family) once per command.
#define KV_COMMANDS(X) \
    /* the reader itself */ \
    X(rf_init_device_number,                0x13, reader) \
    X(rf_get_device_number,                 0x14, reader) \
    X(rf_get_model,                         0x16, reader) \
    X(rf_get_snr,                           0x17, reader) \
    X(rf_beep,                              0x1D, reader) \
    X(rf_init_type,                         0x3A, reader) \
    X(rf_antenna_sta,                       0x05, reader) \
    X(rf_change_wait_time,                  0x05, reader) \
    X(rf_light,                             0x6A, reader) \
    X(rf_display,                           0x1F, reader) \
    X(rf_flash_write,                       0x5B, reader) \
    X(rf_flash_read,                        0x5A, reader) \
    /* ISO14443A cards and the Mifare key tables */ \
    X(rf_request,                           0x46, typea) \
    X(rf_request1,                          0x8C, typea) \
    X(rf_anticoll,                          0x47, typea) \
    X(rf_select,                            0x48, typea) \
    X(rf_halt,                              0x29, typea) \
    X(rf_check_card,                        0x63, typea) \
    X(rf_request_080,                       0x70, typea) \
    X(rf_download_key,                      0x2A, typea) \
    X(rf_download_key2,                     0x83, typea) \
    X(rf_download_key3,                     0x2E, typea) \
    X(rf_M1_authentication1,                0x49, typea) \
    X(rf_M1_authentication2,                0x4A, typea) \
    X(rf_M1_authentication3,                0x84, typea) \
    X(rf_change_key,                        0x5C, typea) \
    /* Mifare Classic blocks, values and records */ \
    X(rf_M1_read,                           0x4B, mifare) \
    X(rf_M1_write,                          0x4C, mifare) \
    X(rf_M1_initval,                        0x4D, mifare) \
    X(rf_M1_readval,                        0x4E, mifare) \
    X(rf_M1_decrement,                      0x4F, mifare) \
    X(rf_M1_increment,                      0x50, mifare) \
    X(rf_M1_restore,                        0x51, mifare) \
    X(rf_M1_transfer,                       0x52, mifare) \
    X(rf_M1_InitCard,                       0x1F, mifare) \
    X(rf_time_read,                         0x56, mifare) \
    X(rf_time_write,                        0x57, mifare) \
    X(value_sum_read,                       0x58, mifare) \
    X(value_sum_write,                      0x59, mifare) \
    X(rf_flash_card_read,                   0x64, mifare) \
    X(rf_flash_card_write,                  0x65, mifare) \
    /* Mifare Classic in one request (key, block and operation) */ \
    X(rf_request_same_K62TX,                0x20, mifare_oneshot) \
    X(rf_M1_read_same_K62TX,                0x21, mifare_oneshot) \
    X(rf_M1_read_sector_same_K62TX,         0x22, mifare_oneshot) \
    X(rf_M1_write_same_K62TX,               0x23, mifare_oneshot) \
    X(rf_M1_write_sector_same_K62TX,        0x2E, mifare_oneshot) \
    X(rf_M1_Init_Purse_same_K62TX,          0x24, mifare_oneshot) \
    X(rf_M1_Read_Purse_same_K62TX,          0x25, mifare_oneshot) \
    X(rf_M1_Inc_Purse_same_K62TX,           0x26, mifare_oneshot) \
    X(rf_M1_Dec_Purse_same_K62TX,           0x27, mifare_oneshot) \
    X(rf_M1_Backup_Purse_same_K62TX,        0x28, mifare_oneshot) \
    /* Ultralight, Ultralight C and NTAG */ \
    X(rf_ul_select,                         0x33, ultralight) \
    X(rf_ul_write,                          0x35, ultralight) \
    X(rf_Ul_C_Authentication,               0x93, ultralight) \
    X(rf_Ul_C_ModifyKey,                    0x94, ultralight) \
    X(rf_Ul_C_Init,                         0x95, ultralight) \
    X(rf_Ul_C_Lock_Page,                    0x96, ultralight) \
    X(rf_NFC_Select_Sector,                 0x86, ultralight) \
    X(rf_Ntag_Get_Version,                  0x87, ultralight) \
    X(rf_Ntag_Fast_Read,                    0x88, ultralight) \
    X(rf_Ntag_Read_CNT,                     0x89, ultralight) \
    X(rf_Ntag_Password_Auth,                0x8A, ultralight) \
    X(rf_Ntag_Read_Signature,               0x8B, ultralight) \
    /* ISO14443-4 type A and B, SAM slots and the contact CPU card */ \
    X(rf_init_sam,                          0x36, iso14443_4) \
    X(rf_sam_rst,                           0x37, iso14443_4) \
    X(rf_sam_cos,                           0x38, iso14443_4) \
    X(rf_sam_rst_2,                         0x19, iso14443_4) \
    X(rf_sam_cos_2,                         0x1A, iso14443_4) \
    X(rf_ContactCpuCard_Power_OnOff,        0x90, iso14443_4) \
    X(rf_ContactCpuCard_VGShort_Check,      0x91, iso14443_4) \
    X(rf_ContactCpuCard_In_Check,           0x92, iso14443_4) \
    X(rf_typea_rst,                         0x53, iso14443_4) \
    X(rf_cos_command,                       0x54, iso14443_4) \
    X(rf_cl_deselect,                       0x6B, iso14443_4) \
    X(rf_transceive,                        0x02, iso14443_4) \
    X(rf_atqb,                              0x3B, iso14443_4) \
    X(rf_get_namecard_uid,                  0x82, iso14443_4) \
    X(rf_attrib,                            0x55, iso14443_4) \
    X(rf_typeb_cos,                         0x3C, iso14443_4) \
    X(rf_hltb,                              0x3D, iso14443_4) \
    /* ISO15693 labels */ \
    X(ISO15693_Inventory,                   0x70, iso15693) \
    X(ISO15693_Inventorys,                  0x85, iso15693) \
    X(ISO15693_Stay_Quiet,                  0x71, iso15693) \
    X(ISO15693_Select,                      0x72, iso15693) \
    X(ISO15693_Reset_To_Ready,              0x73, iso15693) \
    X(ISO15693_Read,                        0x74, iso15693) \
    X(ISO15693_Write,                       0x75, iso15693) \
    X(ISO15693_Write_Multi_Block,           0x6F, iso15693) \
    X(ISO15693_Lock_Block,                  0x76, iso15693) \
    X(ISO15693_Write_AFI,                   0x77, iso15693) \
    X(ISO15693_Lock_AFI,                    0x78, iso15693) \
    X(ISO15693_Write_DSFID,                 0x79, iso15693) \
    X(ISO15693_Lock_DSFID,                  0x7A, iso15693) \
    X(ISO15693_Get_System_Information,      0x7B, iso15693) \
    X(ISO15693_Get_Block_Security,          0x7C, iso15693) \
    X(ISO15693_SET_EAS_ICODE,               0x7D, iso15693) \
    X(ISO15693_RESET_EAS_ICODE,             0x7E, iso15693) \
    X(ISO15693_LOCK_EAS_ICODE,              0x7F, iso15693) \
    X(ISO15693_EAS_ALARM_ICODE,             0x80, iso15693) \
    X(ISO15693_Command,                     0x6D, iso15693) \
    /* ST SR176, SRI512 and SRIX4K */ \
    X(rf_st_select,                         0x60, st) \
    X(rf_st_completion,                     0x61, st) \
    X(rf_sr176_readblock,                   0x62, st) \
    X(rf_sr176_writeblock,                  0x63, st) \
    X(rf_sr176_protectblock,                0x64, st) \
    X(rf_srix4k_readblock,                  0x65, st) \
    X(rf_srix4k_writeblock,                 0x66, st) \
    X(rf_srix4k_authenticate,               0x67, st) \
    X(rf_srix4k_getuid,                     0x68, st) \
    X(rf_srix4k_writelockreg,               0x69, st) \
    X(rf_sri512_writelockreg,               0x6C, st) \
    /* AT88RF020 */ \
    X(rf_at020_check,                       0x3F, at88) \
    X(rf_at020_read,                        0x40, at88) \
    X(rf_at020_write,                       0x41, at88) \
    X(rf_at020_lock,                        0x42, at88) \
    X(rf_at020_count,                       0x43, at88) \
    X(rf_at020_deselect,                    0x44, at88) \
    /* FeliCa */ \
    X(rf_felica_get_uid,                    0x81, felica) \
    /* CPU-card file system and purse */ \
    X(rf_CPUCard_Ext_Auth,                  0xD0, cpucard) \
    X(rf_CPUCard_Ext_Auth_By_SAM,           0xD1, cpucard) \
    X(rf_CPUCard_Erase_DF,                  0xD2, cpucard) \
    X(rf_CPUCard_Get_Rnd,                   0xE3, cpucard) \
    X(rf_CPUCard_Read_Bin_File,             0xE1, cpucard) \
    X(rf_CPUCard_Write_Bin_File,            0xE2, cpucard) \
    X(rf_CPUCard_Verify_Pin,                0xD6, cpucard) \
    X(rf_CPUCard_Change_Pin,                0xD7, cpucard) \
    X(rf_CPUCard_PinReload,                 0xD8, cpucard) \
    X(rf_CPUCard_increment,                 0xD9, cpucard) \
    X(rf_CPUCard_decrement,                 0xDA, cpucard) \
    X(rf_CPUCard_increment_AuthBySam,       0xDB, cpucard) \
    X(rf_CPUCard_decrement_AuthBySam,       0xDC, cpucard) \
    X(rf_CPUCard_ReadVal,                   0xDD, cpucard) \
    X(rf_CPUCard_Get_TAProve,               0xDF, cpucard) \
    X(rf_CPUCard_Init_Similar_M1,           0xD3, cpucard) \
    X(rf_CPUCard_ChangeKey_Similar_M1,      0xD4, cpucard) \
    X(rf_CPUCard_SeLectDF_Similar_M1,       0xD5, cpucard) \
    X(rf_CPUCard_Read_Record_Similar_M1,    0xDE, cpucard) \
    /* PSAM */ \
    X(rf_PSAM_Ext_Auth,                     0xB0, psam) \
    X(rf_PSAM_Erase_DF,                     0xB1, psam) \
    X(rf_PSAM_Init_For_Similar_M1,          0xB2, psam) \
    X(rf_PSAM_ChangeKey_For_Similar_M1,     0xB3, psam) \
    X(rf_PSAM_SeLectDF_For_Similar_M1,      0xB4, psam) \
    X(rf_PSAM_InternalAuth,                 0xB5, psam) \
    X(rf_PSAMCalIncMac,                     0xB6, psam) \
    X(rf_PSAMCalDecMac,                     0xB7, psam) \
    X(rf_PSAMKeyScatter,                    0xB8, psam) \
    X(rf_PSAM_Read_Bin_File,                0xB9, psam) \
    X(rf_PSAM_Write_Bin_File,               0xBA, psam) \
    /* Wiegand reader and tag */ \
    X(rf_CPU_Init_For_Wiegand_Reader,       0xE4, wiegand) \
    X(rf_CPU_UpdataData_For_Wiegand_Reader, 0xE5, wiegand) \
    X(rf_CPU_ReadData_From_Wiegand_Tag,     0xE6, wiegand)

namespace kv {

enum class CommandFamily : std::uint8_t { reader, typea, mifare, mifare_oneshot, ultralight, iso14443_4, iso15693, st, at88, felica, cpucard, psam, wiegand };

struct ReaderCommand {
    const char* name;  // the library function that sends the command
    std::uint8_t code;
    CommandFamily family;

    // A command stands for its code wherever a code is taken.
    constexpr operator std::uint8_t() const { return code; }
};

// One constant per command, named after its function: kv::cmd::rf_beep.
namespace cmd {
#define KV_COMMAND_CONSTANT(name, code, family) \
    inline constexpr ReaderCommand name{#name, code, CommandFamily::family};
KV_COMMANDS(KV_COMMAND_CONSTANT)
#undef KV_COMMAND_CONSTANT
}  // namespace cmd

// Every command, in the order above.
inline constexpr ReaderCommand kReaderCommands[] = {
#define KV_COMMAND_ENTRY(name, code, family) cmd::name,
    KV_COMMANDS(KV_COMMAND_ENTRY)
#undef KV_COMMAND_ENTRY
};

}  // namespace kv
