// Commands that operate the reader itself.
#include <cstring>

#include "KovalinkHID.h"
#include "kv_commands.h"
#include "request.h"

using kv::address16;
using kv::Payload;
namespace cmd = kv::cmd;

namespace {
constexpr unsigned kFlashWriteMax = 64;
}  // namespace

KV_API int KV_STDCALL rf_init_device_number(int device_address, unsigned short new_number) {
    return kv::sendStatus(address16(device_address), cmd::rf_init_device_number, Payload().le16(new_number));
}

KV_API int KV_STDCALL rf_get_device_number(int, unsigned short* device_number) {
    if (device_number == nullptr) return 1;
    // Sent to address 0, which every reader answers, to learn its own address.
    kv::Request request(0, cmd::rf_get_device_number, Payload());
    if (const int status = request.run()) return status;
    *device_number = request.frame().GetReplyAddress();
    return 0;
}

KV_API int KV_STDCALL rf_get_model(int device_address, unsigned char* model) {
    return kv::sendExact(address16(device_address), cmd::rf_get_model, Payload(), model, 2);
}

KV_API int KV_STDCALL rf_get_snr(int device_address, unsigned char* snr, int* snr_len) {
    return kv::sendVariable(address16(device_address), cmd::rf_get_snr, Payload(), snr, snr_len);
}

KV_API int KV_STDCALL rf_beep(int device_address, unsigned char duration) {
    return kv::sendStatus(address16(device_address), cmd::rf_beep, Payload().u8(duration));
}

KV_API int KV_STDCALL rf_init_type(int device_address, unsigned char card_type) {
    return kv::sendStatus(address16(device_address), cmd::rf_init_type, Payload().u8(card_type));
}

KV_API int KV_STDCALL rf_antenna_sta(int device_address, unsigned char on_off) {
    if (on_off > 1) return 1;
    return kv::sendStatus(address16(device_address), cmd::rf_antenna_sta, Payload().u8(on_off));
}

KV_API int KV_STDCALL rf_change_wait_time(int device_address, const unsigned char* data, unsigned char data_len) {
    return kv::sendStatus(address16(device_address), cmd::rf_change_wait_time, Payload().bytes(data, data_len));
}

KV_API int KV_STDCALL rf_light(int device_address, unsigned char colour) {
    return kv::sendStatus(address16(device_address), cmd::rf_light, Payload().u8(colour));
}

KV_API int KV_STDCALL rf_display(int device_address, unsigned char first_byte, unsigned char second_byte,
                                 const unsigned char* display_data) {
    return kv::sendStatus(address16(device_address), cmd::rf_display,
                          Payload().u8(first_byte).u8(second_byte).bytes(display_data, 3));
}

KV_API int KV_STDCALL rf_flash_write(int device_address, unsigned short first_word, unsigned short second_word,
                                     unsigned char length, const unsigned char* data) {
    // At most 64 data bytes travel; the length byte goes out as given.
    const unsigned count = length < kFlashWriteMax ? length : kFlashWriteMax;
    Payload payload;
    payload.be16(first_word).be16(second_word).u8(length).bytes(data, count);
    return kv::sendEmptyReply(address16(device_address), cmd::rf_flash_write, payload);
}

KV_API int KV_STDCALL rf_flash_read(int device_address, unsigned short first_word, unsigned short second_word,
                                    unsigned char length, unsigned char* data) {
    if (data == nullptr) return 1;
    kv::Request request(address16(device_address), cmd::rf_flash_read,
                        Payload().be16(first_word).be16(second_word).u8(length));
    if (const int status = request.run()) return status;
    // The reader's length is compared by its low byte.
    if (static_cast<unsigned char>(request.dataLength()) != length) return 1;
    request.copy(data, length);
    return 0;
}

KV_API int KV_STDCALL door_acess(int device_address, unsigned char command, unsigned char data_len,
                                 const unsigned char* data, unsigned char* reply_body) {
    if (reply_body == nullptr) return 1;
    kv::Request request(address16(device_address), command, Payload().bytes(data, data_len));
    // Whatever the parse and the status, the body goes to the caller, who
    // reads the reader's status from it; only a transport failure counts.
    if (const int sent = request.send()) return sent;
    request.parse();
    request.frame().CopyReplyBody(reply_body);
    return 0;
}
