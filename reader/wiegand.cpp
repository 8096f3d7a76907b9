// CPU cards and tags used with a Wiegand reader, and the external
// authentication of a tag computed on this side.
#include <cstring>

#include "KovalinkHID.h"
#include "cpucard_call.h"
#include "des.h"
#include "kv_commands.h"

using kv::Payload;
namespace cmd = kv::cmd;
using kv::cpu::exchange;
using kv::cpu::kTooLong;

namespace {
constexpr unsigned kWiegandDataMax = 48;
constexpr int kChallengeAnswer = 10;  // 8 random bytes and 90 00

// The key of the authentication: with `diversify` 1 the key scattered over
// the first (up to) 8 UID bytes, zero-padded; otherwise the key itself.
int authenticationKey(unsigned char diversify, const unsigned char* uid, unsigned char uid_len,
                      const unsigned char* key, unsigned char key_len, unsigned char out[16]) {
    if (diversify != 1) {
        std::memcpy(out, key, key_len);
        return key_len;
    }
    unsigned char input[8] = {};
    if (uid_len > 0) std::memcpy(input, uid, uid_len < 8 ? uid_len : 8);
    kv::des::scatter(out, input, key, key_len);
    return 16;
}
}  // namespace

KV_API int KV_STDCALL rf_CPU_Init_For_Wiegand_Reader(int device_address, unsigned char param1,
                                                     const unsigned char* data, unsigned char data_len,
                                                     unsigned char* response, unsigned char* response_len) {
    if (data_len > kWiegandDataMax) return kTooLong;
    return exchange(device_address, cmd::rf_CPU_Init_For_Wiegand_Reader,
                    Payload().u8(param1).u8(data_len).bytes(data, data_len), response, response_len);
}

KV_API int KV_STDCALL rf_CPU_UpdataData_For_Wiegand_Reader(int device_address, unsigned char param1,
                                                           const unsigned char* data, unsigned char data_len,
                                                           unsigned char* response, unsigned char* response_len) {
    if (data_len > kWiegandDataMax) return kTooLong;
    return exchange(device_address, cmd::rf_CPU_UpdataData_For_Wiegand_Reader,
                    Payload().u8(param1).u8(data_len).bytes(data, data_len), response, response_len);
}

KV_API int KV_STDCALL rf_CPU_ReadData_From_Wiegand_Tag(int device_address, unsigned char* response,
                                                       unsigned char* response_len) {
    return exchange(device_address, cmd::rf_CPU_ReadData_From_Wiegand_Tag, Payload(), response, response_len);
}

KV_API int KV_STDCALL rf_CPU_Tag_Ext_Auth(int device_address, unsigned char diversify, unsigned char uid_len,
                                          const unsigned char* uid, unsigned char key_id, unsigned char key_len,
                                          const unsigned char* key, unsigned char* response,
                                          unsigned char* response_len) {
    if (!kv::cpu::desKeyLength(key_len)) return 1;
    if (key == nullptr || response == nullptr || response_len == nullptr) return 1;
    if (diversify == 1 && uid == nullptr && uid_len > 0) return 1;

    static const unsigned char kGetChallenge[] = {0x00, 0x84, 0x00, 0x00, 0x08};
    const std::uint32_t address = kv::address16(device_address);
    kv::Request request(address, cmd::rf_cos_command, Payload().bytes(kGetChallenge, sizeof kGetChallenge));
    if (const int status = request.run()) return status;
    unsigned char challenge[kChallengeAnswer];
    if (request.dataLength() != kChallengeAnswer) return 1;
    request.copy(challenge, kChallengeAnswer);
    if (challenge[8] != 0x90 || challenge[9] != 0x00) return 1;

    unsigned char auth_key[16];
    const int auth_len = authenticationKey(diversify, uid, uid_len, key, key_len, auth_key);
    unsigned char cryptogram[8];
    kv::des::ecb(cryptogram, challenge, 8, auth_key, static_cast<std::size_t>(auth_len),
                 kv::des::Direction::encrypt);

    Payload apdu;
    apdu.u8(0x00).u8(0x82).u8(0x00).u8(key_id).u8(8).bytes(cryptogram, 8);
    // The second exchange reuses the same frame object.
    if (const int status = request.rerun(address, cmd::rf_cos_command, apdu)) return status;
    const int length = request.dataLength();
    *response_len = static_cast<unsigned char>(length);
    request.copy(response, length);
    return 0;
}
