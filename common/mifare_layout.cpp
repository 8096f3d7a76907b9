#include "mifare_layout.h"

namespace common::mifare {

std::optional<Layout> layoutOfBlocks(std::size_t blocks) {
    for (const Layout& layout : {kMini, k1K, k2K, k4K}) {
        if (layout.blocks() == blocks) return layout;
    }
    return std::nullopt;
}

}  // namespace common::mifare
