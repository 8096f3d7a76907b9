// The 91 entry points of libKovalinkHID the test program binds at start,
// in binding order. One list: the function table, its binding and the
// test library that lacks a name are all generated from it.
#pragma once

#define TORVIK_READER_API(X)                                                                                 \
    X(lib_ver) X(des_encrypt) X(des_decrypt) X(rf_init_com) X(rf_init_device_number) X(rf_get_device_number) \
    X(rf_get_model) X(rf_get_snr) X(rf_beep) X(rf_init_sam) X(rf_sam_rst) X(rf_sam_cos) X(rf_init_type)      \
    X(rf_antenna_sta) X(rf_request) X(rf_anticoll) X(rf_select) X(rf_halt) X(rf_download_key)                \
    X(rf_M1_authentication1) X(rf_M1_authentication2) X(rf_M1_read) X(rf_M1_write) X(rf_M1_initval)          \
    X(rf_M1_readval) X(rf_M1_decrement) X(rf_M1_increment) X(rf_M1_restore) X(rf_M1_transfer)                \
    X(rf_typea_rst) X(rf_cos_command) X(rf_atqb) X(rf_attrib) X(rf_typeb_cos) X(rf_hltb) X(rf_at020_check)   \
    X(rf_at020_read) X(rf_at020_write) X(rf_at020_lock) X(rf_at020_count) X(rf_at020_deselect) X(rf_light)   \
    X(rf_cl_deselect) X(rf_free) X(rf_ClosePort) X(rf_GetErrorMessage) X(rf_st_select) X(rf_st_completion)   \
    X(rf_sr176_readblock) X(rf_sr176_writeblock) X(rf_sr176_protectblock) X(rf_srix4k_readblock)             \
    X(rf_srix4k_writeblock) X(rf_srix4k_authenticate) X(rf_srix4k_getuid) X(rf_ul_select) X(rf_ul_write)     \
    X(rf_srix4k_writelockreg) X(rf_sri512_writelockreg) X(ISO15693_Inventory) X(ISO15693_Stay_Quiet)         \
    X(ISO15693_Select) X(ISO15693_Reset_To_Ready) X(ISO15693_Read) X(ISO15693_Write) X(ISO15693_Lock_Block)   \
    X(ISO15693_Write_AFI) X(ISO15693_Lock_AFI) X(ISO15693_Write_DSFID) X(ISO15693_Lock_DSFID)                \
    X(ISO15693_Get_System_Information) X(ISO15693_Get_Block_Security) X(ISO15693_SET_EAS_ICODE)              \
    X(ISO15693_RESET_EAS_ICODE) X(ISO15693_LOCK_EAS_ICODE) X(ISO15693_EAS_ALARM_ICODE)                       \
    X(rf_getlockcardinfo) X(rf_sam_rst_2) X(rf_sam_cos_2) X(rf_get_namecard_uid) X(rf_felica_get_uid)        \
    X(rf_NFC_Select_Sector) X(rf_Ntag_Get_Version) X(rf_Ntag_Fast_Read) X(rf_Ntag_Read_CNT)                  \
    X(rf_Ntag_Password_Auth) X(rf_Ntag_Read_Signature) X(rf_transceive) X(rf_ContactCpuCard_VGShort_Check)   \
    X(rf_ContactCpuCard_In_Check) X(rf_ContactCpuCard_Power_OnOff)
