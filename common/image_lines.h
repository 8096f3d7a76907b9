// What the text formats of card_image.h share: one line of bytes with "--"
// for unknown ones, read and written the same way everywhere.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "card_image.h"

namespace common::image {

// Without leading and trailing spaces, tabs and carriage returns.
std::string_view trimmed(std::string_view line);

// Appends one line of exactly `unit` bytes to the image: pairs of hex digits
// or "--", spaces or tabs only between bytes. Empty on success, else why.
std::string appendLine(std::string_view line, std::size_t unit, Image* image);

// The `length` bytes from `offset` as one line: upper-case hex, "--" for
// unknown bytes.
std::string lineOf(const Image& image, std::size_t offset, std::size_t length);

// Calls `line(number, text)` for every line of `text`, numbered from 1,
// trimmed; stops at the first that returns false.
template <typename F>
bool forEachLine(std::string_view text, F line) {
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view raw = text.substr(0, end);
        if (!line(++number, trimmed(raw))) return false;
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return true;
}

}  // namespace common::image
