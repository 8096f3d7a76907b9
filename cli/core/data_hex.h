// Card data as hex: one run of upper-case digits in JSON (as every hex value
// there), bytes spaced apart in the text form for reading.
#pragma once

#include <string>

#include "bytes.h"
#include "output.h"

namespace kl {

inline std::string dataHex(const Output& out, const std::uint8_t* data, std::size_t length) {
    return toHex(data, length, out.json() ? "" : " ");
}

inline std::string dataHex(const Output& out, const Bytes& data) { return dataHex(out, data.data(), data.size()); }

}  // namespace kl
