// Card memory dumps in the formats other tools use:
//  - raw binary: the memory image as it is (.mfd/.bin/.dump: 1024 or 4096
//    bytes for Mifare Classic, 4 bytes per page for Ultralight and NTAG);
//  - text (.txt, .mct): one block (or page) per line in hex; Mifare Classic
//    text dumps group the blocks under "+Sector: n" headers, or list every
//    block in order without headers (.eml). A '-' stands
//    for a byte the dumping tool could not read and loads as 0x00.
// The format is told by content when loading and by extension when saving.
#pragma once

#include <cstddef>
#include <string>

#include "server/wire.h"

namespace sim {
namespace dump {

// Loads a Mifare Classic dump of exactly `size` bytes (1024 or 4096). A text
// dump may leave sectors out ("No keys found"); they keep what `image`
// already holds, so pass the card's current image in.
bool loadClassic(const std::string& path, std::size_t size, Bytes* image, std::string* why);
bool saveClassic(const std::string& path, const Bytes& image, std::string* why);

// Loads a page image of exactly `size` bytes.
bool loadPages(const std::string& path, std::size_t size, Bytes* image, std::string* why);
bool savePages(const std::string& path, const Bytes& image, std::string* why);

// Parsing of the text formats, for files already read.
bool parseClassicText(const std::string& text, std::size_t size, Bytes* image, std::string* why);
bool parsePagesText(const std::string& text, std::size_t size, Bytes* image, std::string* why);
std::string classicText(const Bytes& image);

}  // namespace dump
}  // namespace sim
