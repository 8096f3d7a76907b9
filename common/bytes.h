// The byte string every part of the toolkit passes around.
#pragma once

#include <cstdint>
#include <vector>

namespace common {

using Bytes = std::vector<std::uint8_t>;

}  // namespace common
