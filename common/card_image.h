// Card memory images in the files other tools read and write, one parser
// and one writer per format:
//  - raw (.mfd, .bin, .dump, any other name): the memory as it is;
//  - sector text (.txt, .mct): "+Sector: N" headers (N 0-39), each followed
//    by the sector's blocks, one line of 32 hex digits each (4 lines, or 16
//    in sectors 32-39); a sector may be left out, or hold a note instead of
//    its blocks ("No keys found (or dead sector)"), and is then unknown;
//  - block lines (.eml): every block (or page) in order, one per line;
//  - JSON (.json), the card dump of Proxmark3: {"FileType": "mfcard",
//    "Card": {"UID", "ATQA", "SAK"}, "blocks": {"0": "hex", ...},
//    "SectorKeys": {...}}; only the blocks are read, the rest is written
//    for the other tools.
// In every text format "--" stands for a byte the dumping tool could not
// read (the keys of a trailer it did not know, a block it could not read),
// hex digits may be upper or lower case, and spaces or tabs may stand
// between bytes. Raw images cannot mark unknown bytes; they are written as 0,
// and a key file beside the image (IMAGE.keys, below) says what is unknown.
//
// Files are read in bounded size: anything that is not a regular file, or
// holds more than kMaxFileSize bytes, is refused without being read.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "bytes.h"
#include "mifare_layout.h"

namespace common::image {

constexpr std::size_t kMaxFileSize = 1 << 20;

// Why an image file was refused: where (the file, the line when the fault
// is on one) and what.
struct Error {
    std::string path;
    int line = 0;
    std::string message;

    // "PATH:LINE: MESSAGE", leaving out what is not known.
    std::string text() const;
};

enum class Format { raw, sectors, blockLines, json };

// A card's memory as a file gives it. Bytes the file marks unknown or
// leaves out are 0 in `bytes` and false in `known`.
struct Image {
    std::string path;  // the file it was read from
    Format format = Format::raw;
    Bytes bytes;
    std::vector<bool> known;         // one flag per byte
    std::vector<int> sector_lines;   // sector text: the line of each sector's header, 0 where left out

    // An image of which every byte is known.
    static Image of(Bytes bytes, Format format = Format::raw);
    // True when all `length` bytes from `offset` are known.
    bool knows(std::size_t offset, std::size_t length) const;
};

// Writes `content` to a temporary file in the folder of `path` and renames
// it into place only when all is written: the old file stays whole otherwise.
bool writeFile(const std::string& path, const std::string& content, Error* error);

// Reads a file of at most kMaxFileSize bytes.
bool readFile(const std::string& path, std::string* content, Error* error);

// Mifare Classic images (320, 1024, 2048 or 4096 bytes), in any of the
// formats, told by content: a file of exactly one of those sizes is raw even
// when it happens to look like text; JSON begins with '{'; other text is
// sector text when a line begins with '+', block lines otherwise; anything
// else is raw.
bool loadClassic(const std::string& path, Image* image, Error* error);
// Fits a Classic image to a card of `layout`: a sector text may leave
// sectors out but holds none the card lacks; the other formats hold exactly
// the card's blocks. On success the image has the card's size.
bool fitClassic(Image* image, const mifare::Layout& layout, Error* error);

// Page images (Ultralight, NTAG: 4-byte pages) of a card of `size` bytes:
// raw, or block lines of one page each. A file of exactly `size` bytes is raw.
bool loadPages(const std::string& path, std::size_t size, Image* image, Error* error);

// A raw image of exactly `size` bytes, for chips without a text format.
bool loadRaw(const std::string& path, std::size_t size, Image* image, Error* error);

// The parsers, for content already read. Errors carry no path.
bool parseSectors(std::string_view text, Image* image, Error* error);
// One unit (16-byte block, 4-byte page) per line.
bool parseBlockLines(std::string_view text, std::size_t unit, Image* image, Error* error);
bool parseJson(std::string_view text, Image* image, Error* error);
// A raw Classic image: one of the Classic sizes.
bool parseClassicRaw(std::string_view content, Image* image, Error* error);

// The writers. A Classic image must have the size of a Classic card.
std::string sectorsText(const Image& image);
std::string blockLinesText(const Image& image, std::size_t unit);
std::string jsonText(const Image& image);

// The key file beside a raw Classic image (IMAGE.keys), for what raw bytes
// cannot say: "N KEYA KEYB [unread BLOCK...]" a sector, dashes for a key
// that is not known, '#' comments. Written by saveClassic for raw images and
// read by loadClassic when it is there.
std::string keysPathOf(const std::string& image_path);
std::string keysText(const Image& image);
// Applies a key file to a Classic image: its keys, and unknown bytes where
// it says so.
bool parseKeys(std::string_view text, Image* image, Error* error);

// The format a file name asks for: .txt and .mct sector text, .eml block
// lines, .json JSON, any other raw.
Format formatOfPath(const std::string& path);
bool saveClassic(const std::string& path, const Image& image, Error* error);
// Pages: .txt, .mct and .eml as one page per line, any other name raw.
bool savePages(const std::string& path, const Image& image, Error* error);
bool saveRaw(const std::string& path, const Image& image, Error* error);

}  // namespace common::image
