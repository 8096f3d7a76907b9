// One-call helpers for a contactless CPU card: authentication, files, PIN,
// purse and the sector-imitating application. The reader composes the
// card's APDUs; the library packs the parameters and returns the answer.
#include "KovalinkHID.h"
#include "cpucard_call.h"
#include "kv_commands.h"

using kv::Payload;
namespace cmd = kv::cmd;
using kv::cpu::exchange;
using kv::cpu::kPinMax;
using kv::cpu::kTooLong;

namespace {
// Data length 4 + 248 fills a frame exactly.
constexpr unsigned kWriteBinMax = kv::kMaxPayload - 4;
constexpr unsigned kPurseKeyMax = 16;
constexpr unsigned kInitSimilarM1Max = 8;
constexpr unsigned kChangeKeySimilarM1Max = 18;
constexpr int kAmount = 4, kTerminal = 6, kDateTime = 7, kAux = 4, kReloadKey = 16, kSerial = 2;

// The purse fields common to credit and debit.
Payload& purse(Payload& p, const unsigned char* amount, const unsigned char* terminal_no,
               const unsigned char* date_time) {
    return p.bytes(amount, kAmount).bytes(terminal_no, kTerminal).bytes(date_time, kDateTime);
}
}  // namespace

KV_API int KV_STDCALL rf_CPUCard_Ext_Auth(int device_address, unsigned char param1, unsigned char param2,
                                          unsigned char key_len, const unsigned char* key, unsigned char* response,
                                          unsigned char* response_len) {
    if (!kv::cpu::desKeyLength(key_len)) return 1;
    return exchange(device_address, cmd::rf_CPUCard_Ext_Auth,
                    Payload().u8(param1).u8(param2).u8(key_len).bytes(key, key_len), response, response_len);
}

KV_API int KV_STDCALL rf_CPUCard_Ext_Auth_By_SAM(int device_address, unsigned char param1, unsigned char param2,
                                                 unsigned char param3, unsigned char param4, unsigned char* response,
                                                 unsigned char* response_len) {
    return exchange(device_address, cmd::rf_CPUCard_Ext_Auth_By_SAM,
                    Payload().u8(param1).u8(param2).u8(param3).u8(param4), response, response_len);
}

KV_API int KV_STDCALL rf_CPUCard_Erase_DF(int device_address, unsigned char* response, unsigned char* response_len) {
    return exchange(device_address, cmd::rf_CPUCard_Erase_DF, Payload(), response, response_len);
}

KV_API int KV_STDCALL rf_CPUCard_Get_Rnd(int device_address, unsigned char param1, unsigned char* response,
                                         unsigned char* response_len) {
    return exchange(device_address, cmd::rf_CPUCard_Get_Rnd, Payload().u8(param1), response, response_len);
}

KV_API int KV_STDCALL rf_CPUCard_Read_Bin_File(int device_address, unsigned char param1, unsigned char param2,
                                               unsigned char param3, unsigned char param4, unsigned char* response,
                                               unsigned char* response_len) {
    return exchange(device_address, cmd::rf_CPUCard_Read_Bin_File,
                    Payload().u8(param1).u8(param2).u8(param3).u8(param4), response, response_len);
}

KV_API int KV_STDCALL rf_CPUCard_Write_Bin_File(int device_address, unsigned char param1, unsigned char param2,
                                                unsigned char param3, unsigned char data_len,
                                                const unsigned char* data, unsigned char* response,
                                                unsigned char* response_len) {
    if (data_len > kWriteBinMax) return kTooLong;
    return exchange(device_address, cmd::rf_CPUCard_Write_Bin_File,
                    Payload().u8(param1).u8(param2).u8(param3).u8(data_len).bytes(data, data_len), response,
                    response_len);
}

KV_API int KV_STDCALL rf_CPUCard_Verify_Pin(int device_address, unsigned char param1, unsigned char pin_len,
                                            const unsigned char* pin, unsigned char* response,
                                            unsigned char* response_len) {
    if (pin_len > kPinMax) return kTooLong;
    return exchange(device_address, cmd::rf_CPUCard_Verify_Pin, Payload().u8(param1).u8(pin_len).bytes(pin, pin_len),
                    response, response_len);
}

KV_API int KV_STDCALL rf_CPUCard_Change_Pin(int device_address, unsigned char param1, unsigned char old_pin_len,
                                            const unsigned char* old_pin, unsigned char new_pin_len,
                                            const unsigned char* new_pin, unsigned char* response,
                                            unsigned char* response_len) {
    if (old_pin_len > kPinMax || new_pin_len > kPinMax) return kTooLong;
    Payload payload;
    payload.u8(param1).u8(old_pin_len).bytes(old_pin, old_pin_len).u8(new_pin_len).bytes(new_pin, new_pin_len);
    return exchange(device_address, cmd::rf_CPUCard_Change_Pin, payload, response, response_len);
}

KV_API int KV_STDCALL rf_CPUCard_PinReload(int device_address, unsigned char param1, const unsigned char* key,
                                           unsigned char pin_len, const unsigned char* pin, unsigned char* response,
                                           unsigned char* response_len) {
    if (pin_len > kPinMax) return kTooLong;
    return exchange(device_address, cmd::rf_CPUCard_PinReload,
                    Payload().u8(param1).bytes(key, kReloadKey).u8(pin_len).bytes(pin, pin_len), response,
                    response_len);
}

KV_API int KV_STDCALL rf_CPUCard_increment(int device_address, unsigned char param1, unsigned char param2,
                                           const unsigned char* amount, const unsigned char* terminal_no,
                                           const unsigned char* date_time, unsigned char key_len,
                                           const unsigned char* key, unsigned char* response,
                                           unsigned char* response_len) {
    if (key_len > kPurseKeyMax) return kTooLong;
    Payload payload;
    purse(payload.u8(param1).u8(param2), amount, terminal_no, date_time).u8(key_len).bytes(key, key_len);
    return exchange(device_address, cmd::rf_CPUCard_increment, payload, response, response_len);
}

KV_API int KV_STDCALL rf_CPUCard_decrement(int device_address, unsigned char param1, unsigned char param2,
                                           const unsigned char* amount, const unsigned char* terminal_no,
                                           const unsigned char* date_time, const unsigned char* aux,
                                           unsigned char key_len, const unsigned char* key, unsigned char* response,
                                           unsigned char* response_len) {
    if (key_len > kPurseKeyMax) return kTooLong;
    Payload payload;
    purse(payload.u8(param1).u8(param2), amount, terminal_no, date_time).bytes(aux, kAux).u8(key_len).bytes(key,
                                                                                                         key_len);
    return exchange(device_address, cmd::rf_CPUCard_decrement, payload, response, response_len);
}

KV_API int KV_STDCALL rf_CPUCard_increment_AuthBySam(int device_address, unsigned char param1, unsigned char param2,
                                                     unsigned char param3, const unsigned char* amount,
                                                     const unsigned char* terminal_no, const unsigned char* date_time,
                                                     unsigned char* response, unsigned char* response_len) {
    Payload payload;
    purse(payload.u8(param1).u8(param2).u8(param3), amount, terminal_no, date_time);
    return exchange(device_address, cmd::rf_CPUCard_increment_AuthBySam, payload, response, response_len);
}

KV_API int KV_STDCALL rf_CPUCard_decrement_AuthBySam(int device_address, unsigned char param1, unsigned char param2,
                                                     unsigned char param3, const unsigned char* amount,
                                                     const unsigned char* terminal_no, const unsigned char* date_time,
                                                     const unsigned char* aux, unsigned char* response,
                                                     unsigned char* response_len) {
    Payload payload;
    purse(payload.u8(param1).u8(param2).u8(param3), amount, terminal_no, date_time).bytes(aux, kAux);
    return exchange(device_address, cmd::rf_CPUCard_decrement_AuthBySam, payload, response, response_len);
}

KV_API int KV_STDCALL rf_CPUCard_ReadVal(int device_address, unsigned char param1, unsigned char* response,
                                         unsigned char* response_len) {
    return exchange(device_address, cmd::rf_CPUCard_ReadVal, Payload().u8(param1), response, response_len);
}

KV_API int KV_STDCALL rf_CPUCard_Get_TAProve(int device_address, unsigned char trans_type,
                                             const unsigned char* trans_serial, unsigned char* response,
                                             unsigned char* response_len) {
    return exchange(device_address, cmd::rf_CPUCard_Get_TAProve, Payload().u8(trans_type).bytes(trans_serial, kSerial),
                    response, response_len);
}

KV_API int KV_STDCALL rf_CPUCard_Init_Similar_M1(int device_address, unsigned char param1, unsigned char param2,
                                                 unsigned char data_len, const unsigned char* data,
                                                 unsigned char* response, unsigned char* response_len) {
    if (data_len > kInitSimilarM1Max) return kTooLong;
    // The data length itself does not travel.
    return exchange(device_address, cmd::rf_CPUCard_Init_Similar_M1,
                    Payload().u8(param1).u8(param2).bytes(data, data_len), response, response_len);
}

KV_API int KV_STDCALL rf_CPUCard_ChangeKey_Similar_M1(int device_address, unsigned char param1,
                                                      unsigned char data_len, const unsigned char* data,
                                                      unsigned char* response, unsigned char* response_len) {
    if (data_len > kChangeKeySimilarM1Max) return kTooLong;
    return exchange(device_address, cmd::rf_CPUCard_ChangeKey_Similar_M1,
                    Payload().u8(param1).u8(data_len).bytes(data, data_len), response, response_len);
}

KV_API int KV_STDCALL rf_CPUCard_SeLectDF_Similar_M1(int device_address, unsigned char param1,
                                                     unsigned char* response, unsigned char* response_len) {
    return exchange(device_address, cmd::rf_CPUCard_SeLectDF_Similar_M1, Payload().u8(param1), response, response_len);
}

KV_API int KV_STDCALL rf_CPUCard_Read_Record_Similar_M1(int device_address, unsigned char param1,
                                                        unsigned char* response, unsigned char* response_len) {
    return exchange(device_address, cmd::rf_CPUCard_Read_Record_Similar_M1, Payload().u8(param1), response,
                    response_len);
}
