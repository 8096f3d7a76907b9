#include "chip.h"

#include "KovalinkHID.h"
#include "core/errors.h"

namespace kl::st {

void ChipChoice::define(CLI::App& app) {
    app.add_flag("--sr176", sr176, "the chip is an SR176 (2-byte blocks); default SRI512/SRIX4K (4-byte blocks)");
}

Bytes selectChip(Session& reader) {
    const auto a = reader.address();
    // A chip selected or completed by an earlier call answers no new
    // initiation until the field was off: each call starts from a fresh field.
    reader.call("rf_antenna_sta", [&] { return rf_antenna_sta(a, 0); });
    reader.call("rf_antenna_sta", [&] { return rf_antenna_sta(a, 1); });
    reader.call("rf_init_type", [&] { return rf_init_type(a, 's'); });
    // The whole reply is copied without its length; the chip identifier is its first byte.
    unsigned char id[256] = {};
    reader.call("rf_st_select", [&] { return rf_st_select(a, id); });
    return Bytes(id, id + 1);
}

Bytes readBlock(Session& reader, const ChipChoice& chip, unsigned block) {
    const auto a = reader.address();
    const auto b = static_cast<unsigned char>(block);
    unsigned char data[256] = {};
    unsigned char length = 0;
    if (chip.sr176) {
        reader.call("rf_sr176_readblock", [&] { return rf_sr176_readblock(a, b, data, &length); });
    } else {
        reader.call("rf_srix4k_readblock", [&] { return rf_srix4k_readblock(a, b, data, &length); });
    }
    return Bytes(data, data + chip.blockSize());
}

}  // namespace kl::st
