#include "blocks.h"

#include "KovalinkHID.h"
#include "core/errors.h"

namespace kl::typea {

void selectFamily(Session& reader) {
    reader.call("rf_init_type", [&] { return rf_init_type(reader.address(), 'A'); });
}

std::optional<Bytes> tryRead16(Session& reader, unsigned block, int* result) {
    const auto b = static_cast<unsigned char>(block);
    unsigned char data[256] = {};
    unsigned char length = 0;
    *result = reader.tryCall("rf_M1_read", [&] { return rf_M1_read(reader.address(), b, data, &length); });
    if (*result == 1) throw libraryError("rf_M1_read", *result);
    if (*result != 0) return std::nullopt;
    if (length != 16) {
        throw Failure(kExitTransport, "rf_M1_read gave " + std::to_string(length) + " bytes for block " +
                                          std::to_string(block) + ", expected 16");
    }
    return Bytes(data, data + length);
}

Bytes read16(Session& reader, unsigned block) {
    int result = 0;
    if (std::optional<Bytes> data = tryRead16(reader, block, &result)) return *data;
    throw libraryError("rf_M1_read", result);
}

}  // namespace kl::typea
