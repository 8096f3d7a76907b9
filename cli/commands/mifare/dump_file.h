// Card images on disk: the raw format (the blocks' bytes one after the
// other, 1024 bytes for a 1K card) and the text format (one block per line
// as 32 hex digits).
#pragma once

#include <string>
#include <vector>

#include "core/bytes.h"

namespace kl::mifare {

enum class DumpFormat { raw, text };

// Text for names ending in .txt or .eml, raw otherwise.
DumpFormat formatOf(const std::string& path);

// Throws a Failure (exit code 1) when the file cannot be written.
void saveDump(const std::string& path, const std::vector<Bytes>& blocks);

// Reads either format (text when the file holds only hex digits and line
// breaks). Throws a usage error for malformed content.
std::vector<Bytes> loadDump(const std::string& path);

}  // namespace kl::mifare
