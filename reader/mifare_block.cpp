// Mifare Classic block and value operations, and the reader's block-shaped
// record and card-page commands.
#include "KovalinkHID.h"
#include "kv_commands.h"
#include "typea_request.h"

using kv::address16;
using kv::Payload;
namespace cmd = kv::cmd;

namespace {
constexpr unsigned kPageSize = 256;
constexpr unsigned kFlashCardReadMax = 200;
constexpr unsigned kFlashCardWriteMax = 224;

Payload block16(unsigned char block, const unsigned char* data) { return Payload().u8(block).bytes(data, 16); }
Payload blockValue(unsigned char block, int value) {
    return Payload().u8(block).le32(static_cast<std::uint32_t>(value));
}
Payload cardPage(unsigned short page, unsigned char offset, unsigned char length) {
    return Payload().be16(page).u8(offset).u8(length);
}
bool pageFits(unsigned char offset, unsigned char length, unsigned limit) {
    return static_cast<unsigned>(offset) + length <= kPageSize && length <= limit;
}
}  // namespace

KV_API int KV_STDCALL rf_M1_read(int device_address, unsigned char block, unsigned char* data,
                                 unsigned char* data_len) {
    return kv::sendVariable(address16(device_address), cmd::rf_M1_read, Payload().u8(block), data, data_len);
}

KV_API int KV_STDCALL rf_M1_write(int device_address, unsigned char block, const unsigned char* data) {
    return kv::sendStatus(address16(device_address), cmd::rf_M1_write, block16(block, data));
}

KV_API int KV_STDCALL rf_M1_initval(int device_address, unsigned char block, int value) {
    return kv::sendStatus(address16(device_address), cmd::rf_M1_initval, blockValue(block, value));
}

KV_API int KV_STDCALL rf_M1_readval(int device_address, unsigned char block, int* value) {
    return kv::sendValue(address16(device_address), cmd::rf_M1_readval, Payload().u8(block), value);
}

KV_API int KV_STDCALL rf_M1_decrement(int device_address, unsigned char block, int value) {
    return kv::sendStatus(address16(device_address), cmd::rf_M1_decrement, blockValue(block, value));
}

KV_API int KV_STDCALL rf_M1_increment(int device_address, unsigned char block, int value) {
    return kv::sendStatus(address16(device_address), cmd::rf_M1_increment, blockValue(block, value));
}

KV_API int KV_STDCALL rf_M1_restore(int device_address, unsigned char block) {
    return kv::sendStatus(address16(device_address), cmd::rf_M1_restore, Payload().u8(block));
}

KV_API int KV_STDCALL rf_M1_transfer(int device_address, unsigned char block) {
    return kv::sendStatus(address16(device_address), cmd::rf_M1_transfer, Payload().u8(block));
}

KV_API int KV_STDCALL rf_M1_InitCard(int device_address, unsigned char block, const unsigned char* data) {
    return kv::sendStatus(address16(device_address), cmd::rf_M1_InitCard, block16(block, data));
}

KV_API int KV_STDCALL rf_time_read(int device_address, unsigned char address, unsigned char* data,
                                   unsigned char* data_len) {
    return kv::sendVariable(address16(device_address), cmd::rf_time_read, Payload().u8(address), data, data_len);
}

KV_API int KV_STDCALL rf_time_write(int device_address, unsigned char address, const unsigned char* data) {
    return kv::sendStatus(address16(device_address), cmd::rf_time_write, block16(address, data));
}

KV_API int KV_STDCALL value_sum_read(int device_address, unsigned char address, unsigned char* data,
                                     unsigned char* data_len) {
    return kv::sendVariable(address16(device_address), cmd::value_sum_read, Payload().u8(address), data, data_len);
}

KV_API int KV_STDCALL value_sum_write(int device_address, unsigned char address, const unsigned char* data) {
    return kv::sendStatus(address16(device_address), cmd::value_sum_write, block16(address, data));
}

KV_API int KV_STDCALL rf_flash_card_read(int device_address, unsigned short page, unsigned char offset,
                                         unsigned char length, unsigned char* data) {
    if (!pageFits(offset, length, kFlashCardReadMax)) return 1;
    return kv::sendExact(address16(device_address), cmd::rf_flash_card_read, cardPage(page, offset, length), data,
                         length);
}

KV_API int KV_STDCALL rf_flash_card_write(int device_address, unsigned short page, unsigned char offset,
                                          unsigned char length, const unsigned char* data) {
    if (!pageFits(offset, length, kFlashCardWriteMax)) return 1;
    return kv::sendEmptyReply(address16(device_address), cmd::rf_flash_card_write,
                              cardPage(page, offset, length).bytes(data, length));
}
