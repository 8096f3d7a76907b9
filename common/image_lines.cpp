#include "image_lines.h"

#include "hex.h"

namespace common::image {

std::string_view trimmed(std::string_view line) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!line.empty() && blank(line.front())) line.remove_prefix(1);
    while (!line.empty() && blank(line.back())) line.remove_suffix(1);
    return line;
}

std::string appendLine(std::string_view line, std::size_t unit, Image* image) {
    Bytes bytes;
    std::vector<bool> known;
    for (std::size_t i = 0; i < line.size();) {
        const char c = line[i];
        if (c == ' ' || c == '\t') {
            ++i;
            continue;
        }
        if (i + 1 >= line.size()) return "'" + std::string(1, c) + "' at the end of the line is half a byte";
        const char d = line[i + 1];
        if (c == '-' && d == '-') {
            bytes.push_back(0);
            known.push_back(false);
        } else if (hexDigit(c) >= 0 && hexDigit(d) >= 0) {
            bytes.push_back(static_cast<std::uint8_t>(hexDigit(c) << 4 | hexDigit(d)));
            known.push_back(true);
        } else {
            return "'" + std::string(line.substr(i, 2)) + "' is neither a byte in hex nor \"--\"";
        }
        i += 2;
    }
    if (bytes.size() != unit) {
        return std::to_string(bytes.size()) + " bytes where a line holds " + std::to_string(unit);
    }
    image->bytes.insert(image->bytes.end(), bytes.begin(), bytes.end());
    image->known.insert(image->known.end(), known.begin(), known.end());
    return {};
}

std::string lineOf(const Image& image, std::size_t offset, std::size_t length) {
    std::string text;
    for (std::size_t i = offset; i < offset + length; ++i) {
        text += image.known[i] ? toHex(&image.bytes[i], 1) : "--";
    }
    return text;
}

}  // namespace common::image
