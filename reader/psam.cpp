// One-call helpers for a PSAM in one of the reader's SAM slots. The reader
// composes the SAM's APDUs; the library packs the parameters and returns
// the SAM's answer.
#include "KovalinkHID.h"
#include "cpucard_call.h"
#include "kv_commands.h"

using kv::Payload;
namespace cmd = kv::cmd;
using kv::cpu::exchange;
using kv::cpu::kTooLong;

namespace {
constexpr unsigned kInternalAuthMax = 16;
constexpr unsigned kDiversifyMax = 24;
constexpr unsigned kKeyScatterMax = 76;
constexpr unsigned kSimilarM1Max = 17;
// Data length 5 + 247 fills a frame exactly.
constexpr unsigned kWriteBinMax = kv::kMaxPayload - 5;

// The MAC input of a purse transaction; only the width of `aux` differs
// between credit and debit.
int purseMac(int device_address, std::uint8_t command, unsigned char param1, unsigned char param2,
             const unsigned char* card_random, const unsigned char* trans_serial, const unsigned char* aux,
             int aux_len, const unsigned char* amount, unsigned char trans_type, const unsigned char* terminal_no,
             const unsigned char* date_time, unsigned char div_len, const unsigned char* div_data,
             unsigned char* response, unsigned char* response_len) {
    if (div_len > kDiversifyMax) return kTooLong;
    Payload p;
    p.u8(param1).u8(param2).bytes(card_random, 4).bytes(trans_serial, 2).bytes(aux, aux_len).bytes(amount, 4);
    p.u8(trans_type).bytes(terminal_no, 6).bytes(date_time, 7).u8(div_len).bytes(div_data, div_len);
    return exchange(device_address, command, p, response, response_len);
}
}  // namespace

KV_API int KV_STDCALL rf_PSAM_Ext_Auth(int device_address, unsigned char param1, unsigned char param2,
                                       unsigned char param3, unsigned char key_len, const unsigned char* key,
                                       unsigned char* response, unsigned char* response_len) {
    if (!kv::cpu::desKeyLength(key_len)) return 1;
    return exchange(device_address, cmd::rf_PSAM_Ext_Auth,
                    Payload().u8(param1).u8(param2).u8(param3).u8(key_len).bytes(key, key_len), response,
                    response_len);
}

KV_API int KV_STDCALL rf_PSAM_Erase_DF(int device_address, unsigned char param1, unsigned char* response,
                                       unsigned char* response_len) {
    return exchange(device_address, cmd::rf_PSAM_Erase_DF, Payload().u8(param1), response, response_len);
}

KV_API int KV_STDCALL rf_PSAM_Init_For_Similar_M1(int device_address, unsigned char param1, unsigned char param2,
                                                  unsigned char param3, unsigned char data_len,
                                                  const unsigned char* data, unsigned char* response,
                                                  unsigned char* response_len) {
    if (data_len > kSimilarM1Max) return kTooLong;
    // The data length itself does not travel.
    return exchange(device_address, cmd::rf_PSAM_Init_For_Similar_M1,
                    Payload().u8(param1).u8(param2).u8(param3).bytes(data, data_len), response, response_len);
}

KV_API int KV_STDCALL rf_PSAM_ChangeKey_For_Similar_M1(int device_address, unsigned char param1,
                                                       unsigned char param2, unsigned char data_len,
                                                       const unsigned char* data, unsigned char* response,
                                                       unsigned char* response_len) {
    if (data_len > kSimilarM1Max) return kTooLong;
    return exchange(device_address, cmd::rf_PSAM_ChangeKey_For_Similar_M1,
                    Payload().u8(param1).u8(param2).u8(data_len).bytes(data, data_len), response, response_len);
}

KV_API int KV_STDCALL rf_PSAM_SeLectDF_For_Similar_M1(int device_address, unsigned char param1, unsigned char param2,
                                                      unsigned char* response, unsigned char* response_len) {
    return exchange(device_address, cmd::rf_PSAM_SeLectDF_For_Similar_M1, Payload().u8(param1).u8(param2), response,
                    response_len);
}

KV_API int KV_STDCALL rf_PSAM_InternalAuth(int device_address, unsigned char param1, unsigned char param2,
                                           unsigned char param3, unsigned char data_len, const unsigned char* data,
                                           unsigned char* response, unsigned char* response_len) {
    if (data_len > kInternalAuthMax) return kTooLong;
    return exchange(device_address, cmd::rf_PSAM_InternalAuth,
                    Payload().u8(param1).u8(param2).u8(param3).u8(data_len).bytes(data, data_len), response,
                    response_len);
}

KV_API int KV_STDCALL rf_PSAMCalIncMac(int device_address, unsigned char param1, unsigned char param2,
                                       const unsigned char* card_random, const unsigned char* trans_serial,
                                       const unsigned char* aux, const unsigned char* amount, unsigned char trans_type,
                                       const unsigned char* terminal_no, const unsigned char* date_time,
                                       unsigned char div_len, const unsigned char* div_data, unsigned char* response,
                                       unsigned char* response_len) {
    return purseMac(device_address, cmd::rf_PSAMCalIncMac, param1, param2, card_random, trans_serial, aux, 4, amount,
                    trans_type, terminal_no, date_time, div_len, div_data, response, response_len);
}

KV_API int KV_STDCALL rf_PSAMCalDecMac(int device_address, unsigned char param1, unsigned char param2,
                                       const unsigned char* card_random, const unsigned char* trans_serial,
                                       const unsigned char* aux, const unsigned char* amount, unsigned char trans_type,
                                       const unsigned char* terminal_no, const unsigned char* date_time,
                                       unsigned char div_len, const unsigned char* div_data, unsigned char* response,
                                       unsigned char* response_len) {
    return purseMac(device_address, cmd::rf_PSAMCalDecMac, param1, param2, card_random, trans_serial, aux, 2, amount,
                    trans_type, terminal_no, date_time, div_len, div_data, response, response_len);
}

KV_API int KV_STDCALL rf_PSAMKeyScatter(int device_address, unsigned char param1, unsigned char param2,
                                        unsigned char param3, unsigned char data_len, const unsigned char* data,
                                        unsigned char* response, unsigned char* response_len) {
    if (data_len > kKeyScatterMax) return kTooLong;
    return exchange(device_address, cmd::rf_PSAMKeyScatter,
                    Payload().u8(param1).u8(param2).u8(param3).u8(data_len).bytes(data, data_len), response,
                    response_len);
}

KV_API int KV_STDCALL rf_PSAM_Read_Bin_File(int device_address, unsigned char param1, unsigned char param2,
                                            unsigned char param3, unsigned char param4, unsigned char param5,
                                            unsigned char* response, unsigned char* response_len) {
    return exchange(device_address, cmd::rf_PSAM_Read_Bin_File,
                    Payload().u8(param1).u8(param2).u8(param3).u8(param4).u8(param5), response, response_len);
}

KV_API int KV_STDCALL rf_PSAM_Write_Bin_File(int device_address, unsigned char param1, unsigned char param2,
                                             unsigned char param3, unsigned char param4, unsigned char data_len,
                                             const unsigned char* data, unsigned char* response,
                                             unsigned char* response_len) {
    if (data_len > kWriteBinMax) return kTooLong;
    return exchange(device_address, cmd::rf_PSAM_Write_Bin_File,
                    Payload().u8(param1).u8(param2).u8(param3).u8(param4).u8(data_len).bytes(data, data_len),
                    response, response_len);
}
