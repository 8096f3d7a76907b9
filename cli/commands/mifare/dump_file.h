// Card images on disk, in the formats other tools read:
//  - raw (any other name): the blocks' bytes one after the other, 1024 bytes
//    for a 1K card; unread blocks hold zeros;
//  - .txt / .mct: one block per line in hex under "+Sector: n" headers,
//    unread blocks as dashes;
//  - .eml: one block per line in hex, every block in order.
#pragma once

#include <string>
#include <vector>

#include "core/bytes.h"

namespace kl::mifare {

struct Image {
    std::vector<Bytes> blocks;
    std::vector<bool> known;  // false for blocks that could not be read
    bool text = false;        // read from a text format, which may leave sectors out
};

// Throws a Failure (exit code 1) when the file cannot be written.
void saveDump(const std::string& path, const Image& image);

// Reads any of the formats (a text file is one of printable lines). Throws a
// usage error for malformed content.
Image loadDump(const std::string& path);

}  // namespace kl::mifare
