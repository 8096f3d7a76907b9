// An ST short-range chip (SR176, SRI512, SRIX4K): selected at the start of
// every command, as the chip forgets the selection between kovalink calls.
#pragma once

#include "core/command.h"

namespace kl::st {

// The chip kind decides the block size and which library functions apply.
struct ChipChoice {
    bool sr176 = false;
    void define(CLI::App& app);
    std::size_t blockSize() const { return sr176 ? 2 : 4; }
    unsigned blocks() const { return sr176 ? 16 : 128; }
};

// Selects the ST family and one chip; returns the chip identifier.
Bytes selectChip(Session& reader);

// One block as the library reads it.
Bytes readBlock(Session& reader, const ChipChoice& chip, unsigned block);

}  // namespace kl::st
