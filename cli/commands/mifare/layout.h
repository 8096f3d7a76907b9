// Mifare Classic memory layout: sectors, blocks, trailers, key types.
#pragma once

#include <cstddef>

namespace kl::mifare {

constexpr std::size_t kBlockSize = 16;
constexpr std::size_t kKeySize = 6;
constexpr unsigned char kKeyA = 0x60, kKeyB = 0x61;

// Sectors and blocks of a 1K (16 x 4), 4K (32 x 4 + 8 x 16) or Mini (5 x 4) card.
struct Layout {
    unsigned sectors = 16;
    constexpr unsigned blocks() const { return sectors <= 32 ? sectors * 4 : 128 + (sectors - 32) * 16; }
    constexpr unsigned firstBlock(unsigned sector) const { return sector < 32 ? sector * 4 : 128 + (sector - 32) * 16; }
    constexpr unsigned blockCount(unsigned sector) const { return sector < 32 ? 4 : 16; }
    constexpr unsigned trailer(unsigned sector) const { return firstBlock(sector) + blockCount(sector) - 1; }
    constexpr unsigned sectorOf(unsigned block) const { return block < 128 ? block / 4 : 32 + (block - 128) / 16; }
    constexpr bool isTrailer(unsigned block) const { return trailer(sectorOf(block)) == block; }
};

// The 4K layout; smaller cards are its first sectors.
constexpr Layout kLargestLayout{40};

}  // namespace kl::mifare
