// The composite search: find the type A card in the field and select it the
// Mifare way (anticollision, select) or the Ultralight way, by its answer
// to request, using the library's own exports for every exchange.
#include <cstring>

#include "KovalinkHID.h"

namespace {
enum : int {
    kRequestFailed = -1,
    kAnticollFailed = -2,
    kNotFourByteUid = -3,
    kSelectFailed = -4,
    kUlSelectFailed = -5,
    kNotSevenByteUid = -6,
};
// Anticollision hands back the whole UID the reader reports, up to the
// largest reply, more than the caller's 7 bytes.
constexpr int kLargestReply = 252;

// The answer 0x0044 is an Ultralight's; so is any answer when the caller's
// tag_type holds zeros in its last two bytes, which the request never writes.
bool ultralightWay(const unsigned char* tag_type) {
    const unsigned answer = tag_type[0] | tag_type[1] << 8;
    const unsigned caller_word = tag_type[2] | tag_type[3] << 8;
    return answer == 0x0044 || caller_word == 0;
}
}  // namespace

KV_API int KV_STDCALL rf_getlockcardinfo(int device_address, unsigned char mode, unsigned char* uid,
                                         unsigned char* uid_len, unsigned char* tag_type) {
    if (uid == nullptr || uid_len == nullptr || tag_type == nullptr) return 1;
    if (rf_request(device_address, mode, tag_type) != 0 && rf_request(device_address, mode, tag_type) != 0) {
        return kRequestFailed;
    }
    if (ultralightWay(tag_type)) {
        if (rf_ul_select(device_address, uid, uid_len) != 0) return kUlSelectFailed;
        // Unreachable today: rf_ul_select succeeds only on a 7-byte answer,
        // so *uid_len is 7 here. The check keeps step code -6 tied to its
        // meaning should rf_ul_select ever accept other lengths.
        return *uid_len == 7 ? 0 : kNotSevenByteUid;
    }
    unsigned char reported[kLargestReply];
    if (rf_anticoll(device_address, 4, reported, uid_len) != 0) return kAnticollFailed;
    if (*uid_len != 4) return kNotFourByteUid;
    std::memcpy(uid, reported, 4);
    unsigned char sak = 0;
    return rf_select(device_address, uid, 4, &sak) == 0 ? 0 : kSelectFailed;
}
