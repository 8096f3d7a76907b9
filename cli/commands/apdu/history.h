// The APDU history file: one line per APDU sent, with time, target, command
// and answer, so a session can be looked up later. PINs and keys in the
// commands are masked.
#pragma once

#include <string>

#include "core/bytes.h"

namespace kl::apdu {

// --history, else $KOVALINK_HISTORY, else ~/.kovalink_history; empty when
// none can be found.
std::string historyPath(const std::string& given);

// The command as the history shows it: the data of commands that carry a
// PIN or a key replaced by "**" a byte.
std::string maskSecrets(const Bytes& command);

// Appends one line, with secrets masked, to a file only its owner may read
// (created with mode 0600); a failure only warns on standard error.
void appendHistory(const std::string& path, const std::string& target, const Bytes& command, const Bytes& response);

}  // namespace kl::apdu
