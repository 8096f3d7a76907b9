// The one-shot commands: each request carries key type, block or sector
// and key, and the reader authenticates and operates in one exchange.
#include "KovalinkHID.h"
#include "kv_commands.h"
#include "typea_request.h"

using kv::address16;
using kv::oneShot;
using kv::Payload;
namespace cmd = kv::cmd;

namespace {
Payload withValue(Payload payload, int value) { return payload.le32(static_cast<std::uint32_t>(value)); }
}  // namespace

KV_API int KV_STDCALL rf_request_same_K62TX(int device_address, unsigned char mode, unsigned char* uid,
                                            unsigned char* uid_len) {
    if (uid == nullptr || uid_len == nullptr) return 1;
    kv::Request request(address16(device_address), cmd::rf_request_same_K62TX, Payload().u8(mode));
    if (const int status = request.run()) return status;
    const int length = request.dataLength();
    if (length != 4 && length != 7 && length != 10) return 1;
    request.copy(uid, length);
    *uid_len = static_cast<unsigned char>(length);
    return 0;
}

KV_API int KV_STDCALL rf_M1_read_same_K62TX(int device_address, unsigned char key_type, unsigned char block,
                                            const unsigned char* key, unsigned char* data,
                                            unsigned char* data_len) {
    return kv::sendVariable(address16(device_address), cmd::rf_M1_read_same_K62TX, oneShot(key_type, block, key), data,
                            data_len);
}

KV_API int KV_STDCALL rf_M1_read_sector_same_K62TX(int device_address, unsigned char key_type,
                                                   unsigned char sector, const unsigned char* key,
                                                   unsigned char* data, unsigned char* data_len) {
    return kv::sendVariable(address16(device_address), cmd::rf_M1_read_sector_same_K62TX,
                            oneShot(key_type, sector, key), data, data_len);
}

KV_API int KV_STDCALL rf_M1_write_same_K62TX(int device_address, unsigned char key_type, unsigned char block,
                                             const unsigned char* key, const unsigned char* data) {
    return kv::sendStatus(address16(device_address), cmd::rf_M1_write_same_K62TX,
                          oneShot(key_type, block, key).bytes(data, 16));
}

KV_API int KV_STDCALL rf_M1_write_sector_same_K62TX(int device_address, unsigned char key_type,
                                                    unsigned char sector, const unsigned char* key,
                                                    const unsigned char* data) {
    return kv::sendStatus(address16(device_address), cmd::rf_M1_write_sector_same_K62TX,
                          oneShot(key_type, sector, key).bytes(data, 48));
}

KV_API int KV_STDCALL rf_M1_Init_Purse_same_K62TX(int device_address, unsigned char key_type, unsigned char block,
                                                  const unsigned char* key, int value) {
    return kv::sendStatus(address16(device_address), cmd::rf_M1_Init_Purse_same_K62TX,
                          withValue(oneShot(key_type, block, key), value));
}

KV_API int KV_STDCALL rf_M1_Read_Purse_same_K62TX(int device_address, unsigned char key_type, unsigned char block,
                                                  const unsigned char* key, int* value) {
    return kv::sendValue(address16(device_address), cmd::rf_M1_Read_Purse_same_K62TX, oneShot(key_type, block, key),
                         value);
}

KV_API int KV_STDCALL rf_M1_Inc_Purse_same_K62TX(int device_address, unsigned char key_type, unsigned char block,
                                                 const unsigned char* key, int value) {
    return kv::sendStatus(address16(device_address), cmd::rf_M1_Inc_Purse_same_K62TX,
                          withValue(oneShot(key_type, block, key), value));
}

KV_API int KV_STDCALL rf_M1_Dec_Purse_same_K62TX(int device_address, unsigned char key_type, unsigned char block,
                                                 const unsigned char* key, int value) {
    return kv::sendStatus(address16(device_address), cmd::rf_M1_Dec_Purse_same_K62TX,
                          withValue(oneShot(key_type, block, key), value));
}

KV_API int KV_STDCALL rf_M1_Backup_Purse_same_K62TX(int device_address, unsigned char key_type,
                                                    unsigned char source_block, unsigned char target_block,
                                                    const unsigned char* key) {
    return kv::sendStatus(address16(device_address), cmd::rf_M1_Backup_Purse_same_K62TX,
                          Payload().u8(key_type).u8(source_block).u8(target_block).bytes(key, 6));
}
