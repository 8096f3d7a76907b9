// The host-side cipher helpers: DES/3DES in ECB, the retail MAC and key
// diversification. They never talk to the reader.
#include <cstring>

#include "KovalinkHID.h"
#include "des.h"

namespace {

// The padded copy of the MAC data has its length in one byte.
constexpr int kMacDataMax = 247;

int ecbExport(unsigned char* output, unsigned char* input, int length, const unsigned char* key, int key_len,
              kv::des::Direction direction) {
    if (length < 0 || key_len < 0) return 1;
    return kv::des::ecb(output, input, static_cast<std::size_t>(length), key, static_cast<std::size_t>(key_len),
                        direction)
               ? 0
               : 1;
}

}  // namespace

KV_API int KV_STDCALL des_encrypt(unsigned char* output, unsigned char* input, int length, const unsigned char* key,
                                  int key_len) {
    return ecbExport(output, input, length, key, key_len, kv::des::Direction::encrypt);
}

KV_API int KV_STDCALL des_decrypt(unsigned char* output, unsigned char* input, int length, const unsigned char* key,
                                  int key_len) {
    return ecbExport(output, input, length, key, key_len, kv::des::Direction::decrypt);
}

KV_API int KV_STDCALL Cal_MAC(unsigned char* mac, const unsigned char* data, int data_len, const unsigned char* key,
                              int key_len, const unsigned char* iv, unsigned char iv_len) {
    if (mac == nullptr || data == nullptr || key == nullptr) return 1;
    if (data_len < 0 || data_len > kMacDataMax || key_len < 0) return 1;
    if (iv == nullptr && iv_len > 0) return 1;
    unsigned char initial[8] = {};
    if (iv_len > 0) std::memcpy(initial, iv, iv_len < 8 ? iv_len : 8);
    kv::des::mac(mac, data, static_cast<std::size_t>(data_len), key, static_cast<std::size_t>(key_len), initial);
    return 0;
}

KV_API int KV_STDCALL Key_Scatter(unsigned char* output, const unsigned char* data, int data_len,
                                  const unsigned char* key, int key_len) {
    if (data_len != 8 || output == nullptr || data == nullptr || key == nullptr || key_len < 0) return 1;
    kv::des::scatter(output, data, key, static_cast<std::size_t>(key_len));
    return 0;
}
