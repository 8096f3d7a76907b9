// Block lines (.eml): every block or page of the card in order, one per line.
#include "image_lines.h"

namespace common::image {

bool parseBlockLines(std::string_view text, std::size_t unit, Image* image, Error* error) {
    Image result;
    result.format = Format::blockLines;
    const bool read = forEachLine(text, [&](int number, std::string_view line) {
        if (line.empty()) return true;
        const std::string why = appendLine(line, unit, &result);
        if (!why.empty()) *error = Error{"", number, why};
        return why.empty();
    });
    if (!read) return false;
    if (result.bytes.empty()) {
        *error = Error{"", 0, "no lines of hex"};
        return false;
    }
    *image = std::move(result);
    return true;
}

std::string blockLinesText(const Image& image, std::size_t unit) {
    std::string text;
    for (std::size_t offset = 0; offset + unit <= image.bytes.size(); offset += unit) {
        text += lineOf(image, offset, unit) + "\n";
    }
    return text;
}

}  // namespace common::image
