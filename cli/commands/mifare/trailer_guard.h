// What must hold before a sector trailer is written: a trailer whose access
// bits disagree with their inverted copies makes the sector unusable, and
// one that no key may change again fixes the sector for good.
#pragma once

#include <string>

#include "card.h"

namespace kl::mifare {

// Empty when the 16 bytes of `trailer` may be written to the trailer of
// `sector`; else why not. A permanent trailer passes only with `force`.
std::string trailerRefusal(const std::uint8_t* trailer, unsigned sector, bool force);

}  // namespace kl::mifare
