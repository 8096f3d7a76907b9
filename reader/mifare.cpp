// ISO14443 type A card access and the reader's Mifare key tables.
#include "KovalinkHID.h"
#include "kv_commands.h"
#include "same_entry.h"
#include "typea_request.h"

using kv::address16;
using kv::Payload;
namespace cmd = kv::cmd;

namespace {
constexpr unsigned kKeySlots = 40;
constexpr unsigned kChangeKeyBuffer = 97;  // the length byte and 96 key bytes

bool isKeySet(unsigned char key_set) { return key_set == 'A' || key_set == 'B'; }
bool isKeyType(unsigned char key_type) { return key_type == 0x60 || key_type == 0x61; }
}  // namespace

KV_API int KV_STDCALL rf_request(int device_address, unsigned char mode, unsigned char* tag_type) {
    return kv::sendExact(address16(device_address), cmd::rf_request, Payload().u8(kv::requestMode(mode)), tag_type, 2);
}

KV_API int KV_STDCALL rf_request1(int device_address, unsigned char mode, unsigned char* uid,
                                  unsigned char* uid_len) {
    return kv::sendLengthFirst(address16(device_address), cmd::rf_request1, Payload().u8(kv::requestMode(mode)), uid,
                               uid_len, {4, 7, 10});
}

KV_API int KV_STDCALL rf_anticoll(int device_address, unsigned char uid_size, unsigned char* uid,
                                  unsigned char* uid_len) {
    if (uid_size != 4 && uid_size != 7 && uid_size != 10) return 1;
    return kv::sendVariable(address16(device_address), cmd::rf_anticoll, Payload().u8(uid_size), uid, uid_len);
}

KV_API int KV_STDCALL rf_select(int device_address, const unsigned char* uid, unsigned char uid_len,
                                unsigned char* sak) {
    return kv::sendExact(address16(device_address), cmd::rf_select, Payload().bytes(uid, uid_len), sak, 1);
}

KV_API int KV_STDCALL rf_halt(int device_address) { return kv::sendStatus(address16(device_address), cmd::rf_halt); }

// The one-shot family's halt is the same entry point.
KV_API int KV_STDCALL rf_M1_Halt_same_K62TX(int device_address) KV_SAME_ENTRY_AS(rf_halt);

KV_API int KV_STDCALL rf_check_card(int device_address, unsigned char* card_flag) {
    return kv::sendExact(address16(device_address), cmd::rf_check_card, Payload(), card_flag, 1);
}

KV_API int KV_STDCALL rf_request_080(int device_address, unsigned char first_byte, unsigned char second_byte,
                                     unsigned char* data, unsigned char* data_len) {
    if (data_len == nullptr) return 1;
    const int status = kv::sendExact(address16(device_address), cmd::rf_request_080,
                                     Payload().u8(first_byte).u8(second_byte), data, 8);
    if (status == 0) *data_len = 8;
    return status;
}

KV_API int KV_STDCALL rf_download_key(int device_address, unsigned char key_set, const unsigned char* keys) {
    if (!isKeySet(key_set)) return 1;
    return kv::sendStatus(address16(device_address), cmd::rf_download_key, Payload().u8(key_set).bytes(keys, 96));
}

KV_API int KV_STDCALL rf_download_key2(int device_address, unsigned char key_slot, const unsigned char* keys) {
    if (key_slot >= kKeySlots) return 1;
    return kv::sendStatus(address16(device_address), cmd::rf_download_key2, Payload().u8(key_slot).bytes(keys, 12));
}

KV_API int KV_STDCALL rf_download_key3(int device_address, unsigned char key_type, unsigned char key_slot,
                                       const unsigned char* key) {
    if (key_slot >= kKeySlots || !isKeyType(key_type)) return 1;
    return kv::sendStatus(address16(device_address), cmd::rf_download_key3, kv::oneShot(key_type, key_slot, key));
}

KV_API int KV_STDCALL rf_M1_authentication1(int device_address, unsigned char key_set, unsigned char sector) {
    if (!isKeySet(key_set)) return 1;
    return kv::sendStatus(address16(device_address), cmd::rf_M1_authentication1, Payload().u8(key_set).u8(sector));
}

KV_API int KV_STDCALL rf_M1_authentication2(int device_address, unsigned char key_type, unsigned char block,
                                            const unsigned char* key) {
    if (!isKeyType(key_type)) return 1;
    return kv::sendStatus(address16(device_address), cmd::rf_M1_authentication2, kv::oneShot(key_type, block, key));
}

KV_API int KV_STDCALL rf_M1_authentication3(int device_address, unsigned char key_type, unsigned char key_slot) {
    if (!isKeyType(key_type) || key_slot >= kKeySlots) return 1;
    return kv::sendStatus(address16(device_address), cmd::rf_M1_authentication3, Payload().u8(key_type).u8(key_slot));
}

KV_API int KV_STDCALL rf_change_key(int device_address, unsigned char data_len, const unsigned char* keys) {
    // The payload is the first data_len bytes of (data_len, 96 key bytes);
    // nothing beyond those 97 bytes exists to be sent.
    if (data_len > kChangeKeyBuffer) return 1;
    Payload payload;
    if (data_len > 0) payload.u8(data_len).bytes(keys, data_len - 1u);
    return kv::sendStatus(address16(device_address), cmd::rf_change_key, payload);
}
