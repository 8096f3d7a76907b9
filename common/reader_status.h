// The reader's status bytes under the toolkit's names (common::status::kNoCard
// ...), and their texts. The table itself is the library's installed header
// kovalink/status.h, so the simulator, kovalink, the test program and
// application developers all read one list.
#pragma once

#include <cstdint>

#include "kovalink/status.h"

namespace common {
namespace status {

enum Status : std::uint8_t {
#define READER_STATUS_ENUM(c_name, name, value, text) name = value,
    KV_READER_STATUS_TABLE(READER_STATUS_ENUM)
#undef READER_STATUS_ENUM
};

}  // namespace status

// The meaning of a status byte, or null for values the reader never sends.
inline const char* statusText(std::uint8_t code) { return kv_status_text(code); }

}  // namespace common
