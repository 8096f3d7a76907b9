// ST short-range chips, AT88RF020 and FeliCa: one reader command each; the
// reader runs the chip's protocol and keeps the selection.
#include "KovalinkHID.h"
#include "kv_commands.h"
#include "request.h"

using kv::address16;
using kv::Payload;
namespace cmd = kv::cmd;

namespace {
constexpr int kSr176Block = 2;
constexpr int kSrixBlock = 4;
constexpr int kSrixUid = 8;
constexpr int kChallenge = 6;
constexpr int kSri512LockSize = 2;
constexpr int kAt020Page = 8;
constexpr int kAt020Password = 8;
constexpr int kAt020LockSize = 4;
constexpr int kAt020Signature = 6;
constexpr int kFelicaId = 6;

// Length first, exactly `size` bytes.
template <typename Length>
int readExact(int device_address, std::uint8_t code, const Payload& payload, unsigned char* out, Length* length,
              int size) {
    return kv::sendLengthFirst(address16(device_address), code, payload, out, length, size, size);
}

// A block or page number followed by its data.
Payload addressed(unsigned char where, const unsigned char* data, int size) {
    Payload payload;
    payload.u8(where).bytes(data, static_cast<std::size_t>(size));
    return payload;
}
}  // namespace

KV_API int KV_STDCALL rf_st_select(int device_address, unsigned char* chip_id) {
    return kv::sendUnsized(address16(device_address), cmd::rf_st_select, Payload(), chip_id);
}

KV_API int KV_STDCALL rf_st_completion(int device_address) {
    return kv::sendStatus(address16(device_address), cmd::rf_st_completion);
}

KV_API int KV_STDCALL rf_sr176_readblock(int device_address, unsigned char block, unsigned char* data,
                                         unsigned char* data_len) {
    return readExact(device_address, cmd::rf_sr176_readblock, Payload().u8(block), data, data_len, kSr176Block);
}

KV_API int KV_STDCALL rf_sr176_writeblock(int device_address, unsigned char block, const unsigned char* data) {
    return kv::sendStatus(address16(device_address), cmd::rf_sr176_writeblock, addressed(block, data, kSr176Block));
}

KV_API int KV_STDCALL rf_sr176_protectblock(int device_address, unsigned char lock_byte) {
    return kv::sendStatus(address16(device_address), cmd::rf_sr176_protectblock, Payload().u8(lock_byte));
}

KV_API int KV_STDCALL rf_srix4k_readblock(int device_address, unsigned char block, unsigned char* data,
                                          unsigned char* data_len) {
    return readExact(device_address, cmd::rf_srix4k_readblock, Payload().u8(block), data, data_len, kSrixBlock);
}

KV_API int KV_STDCALL rf_srix4k_writeblock(int device_address, unsigned char block, const unsigned char* data) {
    return kv::sendStatus(address16(device_address), cmd::rf_srix4k_writeblock, addressed(block, data, kSrixBlock));
}

KV_API int KV_STDCALL rf_srix4k_authenticate(int device_address, const unsigned char* challenge,
                                             unsigned char* response, unsigned char* response_len) {
    return kv::sendVariable(address16(device_address), cmd::rf_srix4k_authenticate,
                            Payload().bytes(challenge, kChallenge), response, response_len);
}

KV_API int KV_STDCALL rf_srix4k_getuid(int device_address, unsigned char* uid, unsigned char* uid_len) {
    return readExact(device_address, cmd::rf_srix4k_getuid, Payload(), uid, uid_len, kSrixUid);
}

KV_API int KV_STDCALL rf_srix4k_writelockreg(int device_address, unsigned char lock_byte) {
    return kv::sendStatus(address16(device_address), cmd::rf_srix4k_writelockreg, Payload().u8(lock_byte));
}

KV_API int KV_STDCALL rf_sri512_writelockreg(int device_address, const unsigned char* lock_data) {
    return kv::sendStatus(address16(device_address), cmd::rf_sri512_writelockreg,
                          Payload().bytes(lock_data, kSri512LockSize));
}

KV_API int KV_STDCALL rf_at020_check(int device_address, const unsigned char* password) {
    return kv::sendStatus(address16(device_address), cmd::rf_at020_check, Payload().bytes(password, kAt020Password));
}

KV_API int KV_STDCALL rf_at020_read(int device_address, unsigned char page, unsigned char* data,
                                    unsigned char* data_len) {
    return readExact(device_address, cmd::rf_at020_read, Payload().u8(page), data, data_len, kAt020Page);
}

KV_API int KV_STDCALL rf_at020_write(int device_address, unsigned char page, const unsigned char* data) {
    return kv::sendStatus(address16(device_address), cmd::rf_at020_write, addressed(page, data, kAt020Page));
}

KV_API int KV_STDCALL rf_at020_lock(int device_address, const unsigned char* lock_data) {
    return kv::sendStatus(address16(device_address), cmd::rf_at020_lock, Payload().bytes(lock_data, kAt020LockSize));
}

KV_API int KV_STDCALL rf_at020_count(int device_address, const unsigned char* count_data) {
    return kv::sendStatus(address16(device_address), cmd::rf_at020_count, Payload().bytes(count_data, kAt020Signature));
}

KV_API int KV_STDCALL rf_at020_deselect(int device_address) {
    return kv::sendStatus(address16(device_address), cmd::rf_at020_deselect);
}

KV_API int KV_STDCALL rf_felica_get_uid(int device_address, unsigned char* uid, int* uid_len) {
    return readExact(device_address, cmd::rf_felica_get_uid, Payload(), uid, uid_len, kFelicaId);
}
