// The APDU history file: one line per APDU sent, with time, target, command
// and answer, so a session can be looked up and replayed later.
#pragma once

#include <string>

#include "core/bytes.h"

namespace kl::apdu {

// --history, else $KOVALINK_HISTORY, else ~/.kovalink_history; empty when
// none can be found.
std::string historyPath(const std::string& given);

// Appends one line; a failure only warns on standard error.
void appendHistory(const std::string& path, const std::string& target, const Bytes& command, const Bytes& response);

}  // namespace kl::apdu
