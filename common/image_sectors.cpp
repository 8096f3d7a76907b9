// Sector text (.txt, .mct): "+Sector: N" headers, each followed by the
// sector's blocks or by a note that the sector could not be read.
#include <cctype>
#include <optional>

#include "image_lines.h"

namespace common::image {
namespace {

using mifare::kBlockSize;
using mifare::kLargestLayout;

// N of "+Sector: N" (spaces allowed after the colon), 0-39.
std::optional<unsigned> headerSector(std::string_view line) {
    constexpr std::string_view kHeader = "+Sector:";
    if (line.substr(0, kHeader.size()) != kHeader) return std::nullopt;
    const std::string_view number = trimmed(line.substr(kHeader.size()));
    if (number.empty() || number.size() > 2) return std::nullopt;
    unsigned sector = 0;
    for (const char c : number) {
        if (c < '0' || c > '9') return std::nullopt;
        sector = sector * 10 + static_cast<unsigned>(c - '0');
    }
    if (sector >= kLargestLayout.sectors) return std::nullopt;
    return sector;
}

// A note stands where a sector's blocks would: a line that does not start
// like a block.
bool isNote(std::string_view line) { return line.front() != '-' && !std::isxdigit(static_cast<unsigned char>(line.front())); }

struct Sector {
    int header_line = 0;
    int note_line = 0;
    unsigned lines = 0;
    Image blocks;  // its blocks as read so far
};

}  // namespace

bool parseSectors(std::string_view text, Image* image, Error* error) {
    std::vector<Sector> sectors(kLargestLayout.sectors);
    Sector* current = nullptr;
    unsigned current_number = 0;
    const auto fail = [&](int line, std::string message) {
        *error = Error{"", line, std::move(message)};
        return false;
    };
    // A sector is complete when it holds all its blocks or a note.
    const auto complete = [&]() {
        if (current == nullptr || current->note_line != 0) return true;
        const unsigned wanted = kLargestLayout.blockCount(current_number);
        if (current->lines == wanted) return true;
        return fail(current->header_line, "sector " + std::to_string(current_number) + " has " +
                                              std::to_string(current->lines) + " of its " + std::to_string(wanted) +
                                              " blocks");
    };
    const bool read = forEachLine(text, [&](int number, std::string_view line) {
        if (line.empty()) return true;
        if (line.front() == '+') {
            const std::optional<unsigned> sector = headerSector(line);
            if (!sector) return fail(number, "a sector header reads '+Sector: N' with N from 0 to 39");
            if (!complete()) return false;
            if (sectors[*sector].header_line != 0) {
                return fail(number, "sector " + std::to_string(*sector) + " appears twice (first on line " +
                                        std::to_string(sectors[*sector].header_line) + ")");
            }
            current = &sectors[*sector];
            current_number = *sector;
            current->header_line = number;
            return true;
        }
        if (current == nullptr) return fail(number, "a line before the first '+Sector: N' header");
        const std::string name = "sector " + std::to_string(current_number);
        if (current->note_line != 0) {
            return fail(number, name + " was marked unread on line " + std::to_string(current->note_line) +
                                    "; no blocks may follow");
        }
        if (current->lines == 0 && isNote(line)) {
            current->note_line = number;
            return true;
        }
        const unsigned wanted = kLargestLayout.blockCount(current_number);
        if (current->lines == wanted) {
            return fail(number, name + " has only " + std::to_string(wanted) + " blocks");
        }
        const std::string why = appendLine(line, kBlockSize, &current->blocks);
        if (!why.empty()) return fail(number, why);
        ++current->lines;
        return true;
    });
    if (!read || !complete()) return false;

    // The smallest card that holds every sector the file names.
    unsigned last = 0;
    bool any = false;
    for (unsigned s = 0; s < sectors.size(); ++s) {
        if (sectors[s].header_line != 0) last = s, any = true;
    }
    if (!any) return fail(0, "no '+Sector: N' header");
    mifare::Layout layout = mifare::k4K;
    for (const mifare::Layout& l : {mifare::kMini, mifare::k1K, mifare::k2K}) {
        if (last < l.sectors) {
            layout = l;
            break;
        }
    }
    Image result;
    result.format = Format::sectors;
    result.bytes.assign(layout.bytes(), 0);
    result.known.assign(layout.bytes(), false);
    result.sector_lines.assign(layout.sectors, 0);
    for (unsigned s = 0; s < layout.sectors; ++s) {
        const Sector& sector = sectors[s];
        result.sector_lines[s] = sector.header_line;
        const std::size_t at = layout.firstBlock(s) * kBlockSize;
        std::copy(sector.blocks.bytes.begin(), sector.blocks.bytes.end(), result.bytes.begin() + static_cast<std::ptrdiff_t>(at));
        std::copy(sector.blocks.known.begin(), sector.blocks.known.end(), result.known.begin() + static_cast<std::ptrdiff_t>(at));
    }
    *image = std::move(result);
    return true;
}

std::string sectorsText(const Image& image) {
    const mifare::Layout layout = mifare::layoutOfBlocks(image.bytes.size() / kBlockSize).value_or(mifare::k4K);
    std::string text;
    for (unsigned s = 0; s < layout.sectors && layout.firstBlock(s) * kBlockSize < image.bytes.size(); ++s) {
        text += "+Sector: " + std::to_string(s) + "\n";
        for (unsigned b = layout.firstBlock(s); b <= layout.trailer(s); ++b) {
            text += lineOf(image, b * kBlockSize, kBlockSize) + "\n";
        }
    }
    return text;
}

}  // namespace common::image
