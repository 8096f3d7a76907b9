// The key file beside a raw Classic image (IMAGE.keys): what a raw image
// cannot hold. One line a sector: its number, key A and key B (12 hex digits,
// or 12 dashes for a key that was not found), then "unread" and the numbers
// of the sector's blocks that could not be read, if any; '#' starts a comment.
#include <algorithm>
#include <sstream>

#include "hex.h"
#include "image_lines.h"

namespace common::image {
namespace {

using mifare::kBlockSize;
using mifare::kKeySize;

void markUnknown(Image* image, std::size_t offset, std::size_t length) {
    std::fill_n(image->known.begin() + static_cast<std::ptrdiff_t>(offset), length, false);
    std::fill_n(image->bytes.begin() + static_cast<std::ptrdiff_t>(offset), length, 0);
}

// A key field: 12 hex digits (taken into the image) or 12 dashes (unknown).
bool takeKey(const std::string& field, Image* image, std::size_t offset) {
    if (field == std::string(2 * kKeySize, '-')) {
        markUnknown(image, offset, kKeySize);
        return true;
    }
    Bytes key;
    if (field.size() != 2 * kKeySize || !parseHex(field, &key) || key.size() != kKeySize) return false;
    std::copy(key.begin(), key.end(), image->bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    std::fill_n(image->known.begin() + static_cast<std::ptrdiff_t>(offset), kKeySize, true);
    return true;
}

}  // namespace

std::string keysPathOf(const std::string& image_path) { return image_path + ".keys"; }

std::string keysText(const Image& image) {
    const mifare::Layout layout = mifare::layoutOfBlocks(image.bytes.size() / kBlockSize).value_or(mifare::k1K);
    std::string text = "# sector, key A, key B (dashes: not found), blocks that could not be read\n";
    for (unsigned s = 0; s < layout.sectors; ++s) {
        const std::size_t trailer = layout.trailer(s) * kBlockSize;
        std::string line = std::to_string(s) + " " + lineOf(image, trailer + mifare::kKeyAOffset, kKeySize) + " " +
                           lineOf(image, trailer + mifare::kKeyBOffset, kKeySize);
        std::string unread;
        for (unsigned b = layout.firstBlock(s); b <= layout.trailer(s); ++b) {
            // A trailer counts as read when its access bytes are known.
            const bool read = layout.isTrailer(b) ? image.knows(trailer + mifare::kAccessOffset, 4)
                                                  : image.knows(b * kBlockSize, kBlockSize);
            if (!read) unread += " " + std::to_string(b);
        }
        text += line + (unread.empty() ? "" : " unread" + unread) + "\n";
    }
    return text;
}

bool parseKeys(std::string_view text, Image* image, Error* error) {
    const std::optional<mifare::Layout> layout = mifare::layoutOfBlocks(image->bytes.size() / kBlockSize);
    const auto fail = [&](int line, std::string message) {
        *error = Error{"", line, std::move(message)};
        return false;
    };
    if (!layout) return fail(0, "a key file goes with a Mifare Classic image");
    return forEachLine(text, [&](int number, std::string_view raw) {
        const std::string_view line = trimmed(raw.substr(0, raw.find('#')));
        if (line.empty()) return true;
        std::istringstream fields{std::string(line)};
        std::string sector_text, key_a, key_b, word;
        fields >> sector_text >> key_a >> key_b;
        const bool digits = !sector_text.empty() && sector_text.size() <= 2 &&
                            std::all_of(sector_text.begin(), sector_text.end(), [](char c) { return c >= '0' && c <= '9'; });
        const unsigned sector = digits ? static_cast<unsigned>(std::stoul(sector_text)) : layout->sectors;
        if (sector >= layout->sectors) {
            return fail(number, "'" + sector_text + "' is not a sector of this " +
                                    std::to_string(layout->sectors) + "-sector image");
        }
        const std::size_t trailer = layout->trailer(sector) * kBlockSize;
        if (!takeKey(key_a, image, trailer + mifare::kKeyAOffset) || !takeKey(key_b, image, trailer + mifare::kKeyBOffset)) {
            return fail(number, "a key is 12 hex digits, or 12 dashes when it is not known");
        }
        if (fields >> word && word != "unread") return fail(number, "'" + word + "' where \"unread\" may follow the keys");
        while (fields >> word) {
            const bool number_ok = word.size() <= 3 && std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
            const unsigned block = number_ok ? static_cast<unsigned>(std::stoul(word)) : layout->blocks();
            if (block < layout->firstBlock(sector) || block > layout->trailer(sector)) {
                return fail(number, "'" + word + "' is not a block of sector " + std::to_string(sector));
            }
            if (layout->isTrailer(block)) markUnknown(image, trailer + mifare::kAccessOffset, 4);
            else markUnknown(image, block * kBlockSize, kBlockSize);
        }
        return true;
    });
}

}  // namespace common::image
