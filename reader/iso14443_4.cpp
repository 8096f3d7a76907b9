// Transparent channels to processor cards: ISO14443-4 type A and B, the
// SAM slots and the contact-card slot. APDUs and answers pass unchanged;
// an APDU that would not fit one frame is refused with 1 before sending.
#include "KovalinkHID.h"
#include "kv_commands.h"
#include "request.h"

using kv::address16;
using kv::Payload;
namespace cmd = kv::cmd;

namespace {
// Request and wake-up answers: the length goes to the caller whatever it
// is, the data only when it has exactly `count` bytes.
int sendCountedExact(int device_address, std::uint8_t command, unsigned char mode, unsigned char* out,
                     unsigned char* out_length, int count) {
    if (mode > 1 || out == nullptr || out_length == nullptr) return 1;
    kv::Request request(address16(device_address), command, Payload().u8(mode));
    if (const int status = request.run()) return status;
    const int length = request.dataLength();
    *out_length = static_cast<unsigned char>(length);
    if (length != count) return 1;
    request.copy(out, count);
    return 0;
}

// Four PUPI bytes, least significant first.
Payload pupiPayload(unsigned int pupi) {
    Payload payload;
    payload.le32(pupi);
    return payload;
}
}  // namespace

KV_API int KV_STDCALL rf_init_sam(int device_address, unsigned char rate) {
    return kv::sendStatus(address16(device_address), cmd::rf_init_sam, Payload().u8(rate));
}

KV_API int KV_STDCALL rf_sam_rst(int device_address, unsigned char* atr, unsigned char* atr_len) {
    return kv::sendVariable(address16(device_address), cmd::rf_sam_rst, Payload(), atr, atr_len);
}

KV_API int KV_STDCALL rf_sam_cos(int device_address, const unsigned char* apdu, unsigned char apdu_len,
                                 unsigned char* response, unsigned char* response_len) {
    return kv::sendVariable(address16(device_address), cmd::rf_sam_cos, Payload().bytes(apdu, apdu_len), response,
                            response_len);
}

KV_API int KV_STDCALL rf_sam_rst_2(int device_address, const unsigned char* param, unsigned char param_len,
                                   unsigned char* atr, unsigned char* atr_len) {
    return kv::sendVariable(address16(device_address), cmd::rf_sam_rst_2, Payload().bytes(param, param_len), atr,
                            atr_len);
}

KV_API int KV_STDCALL rf_sam_cos_2(int device_address, unsigned char sam_no, const unsigned char* apdu,
                                   unsigned char apdu_len, unsigned char* response, unsigned char* response_len) {
    return kv::sendVariable(address16(device_address), cmd::rf_sam_cos_2, Payload().u8(sam_no).bytes(apdu, apdu_len),
                            response, response_len);
}

KV_API int KV_STDCALL rf_ContactCpuCard_Power_OnOff(int device_address, unsigned char on_off) {
    return kv::sendStatus(address16(device_address), cmd::rf_ContactCpuCard_Power_OnOff, Payload().u8(on_off));
}

KV_API int KV_STDCALL rf_ContactCpuCard_VGShort_Check(int device_address, unsigned char* result) {
    return kv::sendExact(address16(device_address), cmd::rf_ContactCpuCard_VGShort_Check, Payload(), result, 1);
}

KV_API int KV_STDCALL rf_ContactCpuCard_In_Check(int device_address, unsigned char* result) {
    return kv::sendExact(address16(device_address), cmd::rf_ContactCpuCard_In_Check, Payload(), result, 1);
}

KV_API int KV_STDCALL rf_typea_rst(int device_address, unsigned char mode, unsigned char* data,
                                   unsigned char* data_len) {
    return kv::sendVariable(address16(device_address), cmd::rf_typea_rst, Payload().u8(mode), data, data_len);
}

KV_API int KV_STDCALL rf_cos_command(int device_address, const unsigned char* apdu, unsigned char apdu_len,
                                     unsigned char* response, unsigned char* response_len) {
    return kv::sendVariable(address16(device_address), cmd::rf_cos_command, Payload().bytes(apdu, apdu_len), response,
                            response_len);
}

KV_API int KV_STDCALL rf_cl_deselect(int device_address) {
    return kv::sendStatus(address16(device_address), cmd::rf_cl_deselect);
}

KV_API int KV_STDCALL rf_transceive(int device_address, const unsigned char* data, unsigned char data_len,
                                    unsigned char* response, unsigned char* response_len) {
    return kv::sendVariable(address16(device_address), cmd::rf_transceive, Payload().bytes(data, data_len), response,
                            response_len);
}

KV_API int KV_STDCALL rf_atqb(int device_address, unsigned char mode, unsigned char* atqb, unsigned char* atqb_len) {
    return sendCountedExact(device_address, cmd::rf_atqb, mode, atqb, atqb_len, 12);
}

KV_API int KV_STDCALL rf_get_namecard_uid(int device_address, unsigned char mode, unsigned char* uid,
                                          unsigned char* uid_len) {
    return sendCountedExact(device_address, cmd::rf_get_namecard_uid, mode, uid, uid_len, 8);
}

KV_API int KV_STDCALL rf_attrib(int device_address, unsigned int pupi, unsigned char param_byte) {
    return kv::sendStatus(address16(device_address), cmd::rf_attrib, pupiPayload(pupi).u8(param_byte));
}

KV_API int KV_STDCALL rf_typeb_cos(int device_address, unsigned char prefix, const unsigned char* apdu,
                                   unsigned char apdu_len, unsigned char* response, unsigned char* response_len) {
    return kv::sendVariable(address16(device_address), cmd::rf_typeb_cos, Payload().u8(prefix).bytes(apdu, apdu_len),
                            response, response_len);
}

KV_API int KV_STDCALL rf_hltb(int device_address, unsigned int pupi) {
    return kv::sendStatus(address16(device_address), cmd::rf_hltb, pupiPayload(pupi));
}
