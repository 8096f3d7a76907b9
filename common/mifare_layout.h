// Mifare Classic memory layout: 16-byte blocks in sectors, each sector ending
// in its trailer (key A, access bits, key B). Sectors 0-31 have 4 blocks;
// the large sectors 32-39 of a 4K card have 16, the first of sector s being
// block 128 + (s - 32) * 16. A Mini has 5 sectors, a 1K 16, a 2K 32, a 4K 40;
// every smaller card is the first sectors of the 4K layout.
#pragma once

#include <cstddef>
#include <optional>

namespace common::mifare {

constexpr std::size_t kBlockSize = 16;
constexpr std::size_t kKeySize = 6;
// Offsets in a trailer: key A, the access bytes 6-8 (and the user byte 9), key B.
constexpr std::size_t kKeyAOffset = 0, kAccessOffset = 6, kKeyBOffset = 10;
// The authentication commands for key A and key B.
constexpr unsigned char kKeyA = 0x60, kKeyB = 0x61;

struct Layout {
    unsigned sectors = 16;

    constexpr unsigned blocks() const { return sectors <= 32 ? sectors * 4 : 128 + (sectors - 32) * 16; }
    constexpr std::size_t bytes() const { return blocks() * kBlockSize; }
    constexpr unsigned firstBlock(unsigned sector) const { return sector < 32 ? sector * 4 : 128 + (sector - 32) * 16; }
    constexpr unsigned blockCount(unsigned sector) const { return sector < 32 ? 4 : 16; }
    constexpr unsigned trailer(unsigned sector) const { return firstBlock(sector) + blockCount(sector) - 1; }
    constexpr unsigned sectorOf(unsigned block) const { return block < 128 ? block / 4 : 32 + (block - 128) / 16; }
    constexpr bool isTrailer(unsigned block) const { return trailer(sectorOf(block)) == block; }
    constexpr bool contains(unsigned block) const { return block < blocks(); }
    // The access-condition group of a block: in 4-block sectors the block's
    // place (the trailer is group 3); in 16-block sectors blocks 0-4, 5-9 and
    // 10-14 form groups 0, 1 and 2, and the trailer is group 3.
    constexpr unsigned accessGroup(unsigned block) const {
        const unsigned sector = sectorOf(block), offset = block - firstBlock(sector);
        return blockCount(sector) == 4 || isTrailer(block) ? (offset < 3 ? offset : 3) : offset / 5;
    }
};

constexpr Layout kMini{5}, k1K{16}, k2K{32}, k4K{40};
// Trailers and sectors lie at the same blocks on every card size.
constexpr Layout kLargestLayout = k4K;

// The card whose memory has exactly this many blocks (20, 64, 128 or 256).
std::optional<Layout> layoutOfBlocks(std::size_t blocks);

}  // namespace common::mifare
