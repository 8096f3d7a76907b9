// Mifare Ultralight, Ultralight C and NTAG commands.
#include "KovalinkHID.h"
#include "kv_commands.h"
#include "typea_request.h"

using kv::address16;
using kv::Payload;
namespace cmd = kv::cmd;

namespace {
Payload page4(unsigned char page, const unsigned char* data) { return Payload().u8(page).bytes(data, 4); }
Payload optionKey(unsigned char option, const unsigned char* key) { return Payload().u8(option).bytes(key, 16); }
}  // namespace

KV_API int KV_STDCALL rf_ul_select(int device_address, unsigned char* uid, unsigned char* uid_len) {
    return kv::sendLengthFirst(address16(device_address), cmd::rf_ul_select, Payload(), uid, uid_len, {7});
}

KV_API int KV_STDCALL rf_ul_write(int device_address, unsigned char page, const unsigned char* data) {
    return kv::sendStatus(address16(device_address), cmd::rf_ul_write, page4(page, data));
}

KV_API int KV_STDCALL rf_Ul_C_Authentication(int device_address, unsigned char option, const unsigned char* key) {
    return kv::sendStatus(address16(device_address), cmd::rf_Ul_C_Authentication, optionKey(option, key));
}

KV_API int KV_STDCALL rf_Ul_C_ModifyKey(int device_address, unsigned char option, const unsigned char* key) {
    return kv::sendStatus(address16(device_address), cmd::rf_Ul_C_ModifyKey, optionKey(option, key));
}

KV_API int KV_STDCALL rf_Ul_C_Init(int device_address, unsigned char option1, unsigned char option2,
                                   unsigned char option3, const unsigned char* key) {
    return kv::sendStatus(address16(device_address), cmd::rf_Ul_C_Init,
                          Payload().u8(option1).u8(option2).u8(option3).bytes(key, 16));
}

KV_API int KV_STDCALL rf_Ul_C_Lock_Page(int device_address, unsigned char page, const unsigned char* data) {
    return kv::sendStatus(address16(device_address), cmd::rf_Ul_C_Lock_Page, page4(page, data));
}

KV_API int KV_STDCALL rf_NFC_Select_Sector(int device_address, unsigned char sector) {
    return kv::sendStatus(address16(device_address), cmd::rf_NFC_Select_Sector, Payload().u8(sector));
}

KV_API int KV_STDCALL rf_Ntag_Get_Version(int device_address, unsigned char* data, unsigned char* data_len) {
    return kv::sendVariable(address16(device_address), cmd::rf_Ntag_Get_Version, Payload(), data, data_len);
}

KV_API int KV_STDCALL rf_Ntag_Fast_Read(int device_address, unsigned char start_page, unsigned char end_page,
                                        unsigned char* data, unsigned char* data_len) {
    return kv::sendVariable(address16(device_address), cmd::rf_Ntag_Fast_Read, Payload().u8(start_page).u8(end_page),
                            data, data_len);
}

KV_API int KV_STDCALL rf_Ntag_Read_CNT(int device_address, unsigned char* data, unsigned char* data_len) {
    return kv::sendVariable(address16(device_address), cmd::rf_Ntag_Read_CNT, Payload(), data, data_len);
}

KV_API int KV_STDCALL rf_Ntag_Password_Auth(int device_address, const unsigned char* password, unsigned char* pack,
                                            unsigned char* pack_len) {
    return kv::sendVariable(address16(device_address), cmd::rf_Ntag_Password_Auth, Payload().bytes(password, 4), pack,
                            pack_len);
}

KV_API int KV_STDCALL rf_Ntag_Read_Signature(int device_address, unsigned char* data, unsigned char* data_len) {
    return kv::sendVariable(address16(device_address), cmd::rf_Ntag_Read_Signature, Payload(), data, data_len);
}
