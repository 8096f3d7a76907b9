#include "sector_table.h"
#include "core/data_hex.h"

namespace kl::mifare {

void SectorTable::add(unsigned block, const Bytes& data) {
    const char* kind = block == 0 ? "manufacturer" : layout_.isTrailer(block) ? "trailer" : "data";
    rows_.push_back({{"sector", layout_.sectorOf(block)}, {"block", block}, {"data", dataHex(out_, data)}, {"kind", kind}});
}

}  // namespace kl::mifare
