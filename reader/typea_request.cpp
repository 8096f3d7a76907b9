#include "typea_request.h"

namespace kv {

int sendLengthFirst(std::uint32_t device_address, std::uint8_t command, const Payload& payload, void* out,
                    unsigned char* out_length, std::initializer_list<int> accepted) {
    if (out == nullptr || out_length == nullptr) return 1;
    Request request(device_address, command, payload);
    if (const int status = request.run()) return status;
    const int length = request.dataLength();
    *out_length = static_cast<unsigned char>(length);
    for (const int good : accepted) {
        if (length == good) {
            request.copy(out, length);
            return 0;
        }
    }
    return 1;
}

int sendValue(std::uint32_t device_address, std::uint8_t command, const Payload& payload, int* value) {
    unsigned char bytes[4];
    if (value == nullptr) return 1;
    if (const int status = sendExact(device_address, command, payload, bytes, 4)) return status;
    *value = static_cast<int>(static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
                              static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24);
    return 0;
}

}  // namespace kv
