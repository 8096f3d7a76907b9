// Transparent channels to processor cards: ISO14443-4 type A and B, the
// SAM slots and the contact-card slot. APDUs and answers pass unchanged;
// an APDU that would not fit one frame is refused with 1 before sending.
#include "KovalinkHID.h"
#include "request.h"

using kv::address16;
using kv::Payload;

namespace {
enum : std::uint8_t {
    kTransceive = 0x02,
    kSamReset2 = 0x19,
    kSamApdu2 = 0x1A,
    kInitSam = 0x36,
    kSamReset = 0x37,
    kSamApdu = 0x38,
    kAtqb = 0x3B,
    kTypeBApdu = 0x3C,
    kHltb = 0x3D,
    kTypeAReset = 0x53,
    kCosCommand = 0x54,
    kAttrib = 0x55,
    kDeselect = 0x6B,
    kNameCardUid = 0x82,
    kContactPower = 0x90,
    kContactVgShort = 0x91,
    kContactPresent = 0x92,
};

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
    return kv::sendStatus(address16(device_address), kInitSam, Payload().u8(rate));
}

KV_API int KV_STDCALL rf_sam_rst(int device_address, unsigned char* atr, unsigned char* atr_len) {
    return kv::sendVariable(address16(device_address), kSamReset, Payload(), atr, atr_len);
}

KV_API int KV_STDCALL rf_sam_cos(int device_address, const unsigned char* apdu, unsigned char apdu_len,
                                 unsigned char* response, unsigned char* response_len) {
    return kv::sendVariable(address16(device_address), kSamApdu, Payload().bytes(apdu, apdu_len), response,
                            response_len);
}

KV_API int KV_STDCALL rf_sam_rst_2(int device_address, const unsigned char* param, unsigned char param_len,
                                   unsigned char* atr, unsigned char* atr_len) {
    return kv::sendVariable(address16(device_address), kSamReset2, Payload().bytes(param, param_len), atr, atr_len);
}

KV_API int KV_STDCALL rf_sam_cos_2(int device_address, unsigned char sam_no, const unsigned char* apdu,
                                   unsigned char apdu_len, unsigned char* response, unsigned char* response_len) {
    return kv::sendVariable(address16(device_address), kSamApdu2, Payload().u8(sam_no).bytes(apdu, apdu_len),
                            response, response_len);
}

KV_API int KV_STDCALL rf_ContactCpuCard_Power_OnOff(int device_address, unsigned char on_off) {
    return kv::sendStatus(address16(device_address), kContactPower, Payload().u8(on_off));
}

KV_API int KV_STDCALL rf_ContactCpuCard_VGShort_Check(int device_address, unsigned char* result) {
    return kv::sendExact(address16(device_address), kContactVgShort, Payload(), result, 1);
}

KV_API int KV_STDCALL rf_ContactCpuCard_In_Check(int device_address, unsigned char* result) {
    return kv::sendExact(address16(device_address), kContactPresent, Payload(), result, 1);
}

KV_API int KV_STDCALL rf_typea_rst(int device_address, unsigned char mode, unsigned char* data,
                                   unsigned char* data_len) {
    return kv::sendVariable(address16(device_address), kTypeAReset, Payload().u8(mode), data, data_len);
}

KV_API int KV_STDCALL rf_cos_command(int device_address, const unsigned char* apdu, unsigned char apdu_len,
                                     unsigned char* response, unsigned char* response_len) {
    return kv::sendVariable(address16(device_address), kCosCommand, Payload().bytes(apdu, apdu_len), response,
                            response_len);
}

KV_API int KV_STDCALL rf_cl_deselect(int device_address) {
    return kv::sendStatus(address16(device_address), kDeselect);
}

KV_API int KV_STDCALL rf_transceive(int device_address, const unsigned char* data, unsigned char data_len,
                                    unsigned char* response, unsigned char* response_len) {
    return kv::sendVariable(address16(device_address), kTransceive, Payload().bytes(data, data_len), response,
                            response_len);
}

KV_API int KV_STDCALL rf_atqb(int device_address, unsigned char mode, unsigned char* atqb, unsigned char* atqb_len) {
    return sendCountedExact(device_address, kAtqb, mode, atqb, atqb_len, 12);
}

KV_API int KV_STDCALL rf_get_namecard_uid(int device_address, unsigned char mode, unsigned char* uid,
                                          unsigned char* uid_len) {
    return sendCountedExact(device_address, kNameCardUid, mode, uid, uid_len, 8);
}

KV_API int KV_STDCALL rf_attrib(int device_address, unsigned int pupi, unsigned char param_byte) {
    return kv::sendStatus(address16(device_address), kAttrib, pupiPayload(pupi).u8(param_byte));
}

KV_API int KV_STDCALL rf_typeb_cos(int device_address, unsigned char prefix, const unsigned char* apdu,
                                   unsigned char apdu_len, unsigned char* response, unsigned char* response_len) {
    return kv::sendVariable(address16(device_address), kTypeBApdu, Payload().u8(prefix).bytes(apdu, apdu_len),
                            response, response_len);
}

KV_API int KV_STDCALL rf_hltb(int device_address, unsigned int pupi) {
    return kv::sendStatus(address16(device_address), kHltb, pupiPayload(pupi));
}
