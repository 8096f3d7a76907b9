#include "dump_file.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include "layout.h"
#include "core/errors.h"

namespace kl::mifare {

namespace {

std::string extension(const std::string& path) {
    const auto dot = path.rfind('.');
    std::string ext = dot == std::string::npos ? "" : path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

bool looksLikeText(const std::string& content) {
    return std::all_of(content.begin(), content.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return (u >= 0x20 && u < 0x7F) || c == '\n' || c == '\r' || c == '\t';
    });
}

std::string trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r");
    return b == std::string::npos ? "" : s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

// Sector headers set where the following lines go; dashes mark unread blocks.
Image parseText(const std::string& path, const std::string& content) {
    Image image;
    image.text = true;
    std::istringstream lines(content);
    unsigned next = 0;
    int number = 0;
    auto place = [&](unsigned block, const Bytes& data, bool known) {
        if (image.blocks.size() <= block) {
            image.blocks.resize(block + 1, Bytes(kBlockSize, 0));
            image.known.resize(block + 1, false);
        }
        image.blocks[block] = data;
        image.known[block] = known;
    };
    for (std::string raw; std::getline(lines, raw);) {
        ++number;
        const std::string line = trim(raw);
        if (line.empty()) continue;
        const std::string where = path + ":" + std::to_string(number) + ": ";
        if (line[0] == '+') {
            long long sector = 0;
            const auto colon = line.find(':');
            if (colon == std::string::npos || !parseNumber(trim(line.substr(colon + 1)), 0, 39, &sector).empty()) {
                throw usageError(where + "a sector header reads '+Sector: N' with N 0..39");
            }
            next = kLargestLayout.firstBlock(static_cast<unsigned>(sector));
            continue;
        }
        if (line.find_first_not_of('-') == std::string::npos) {
            place(next++, Bytes(kBlockSize, 0), false);
            continue;
        }
        Bytes block;
        std::string why = parseHex(line, &block);
        if (why.empty() && block.size() != kBlockSize) why = "a block needs 16 bytes";
        if (!why.empty()) throw usageError(where + why);
        place(next++, block, true);
    }
    return image;
}

}  // namespace

void saveDump(const std::string& path, const Image& image) {
    const std::string ext = extension(path);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const std::string unread(2 * kBlockSize, '-');
    for (unsigned b = 0; b < image.blocks.size(); ++b) {
        const bool known = image.known[b];
        if (ext == "txt" || ext == "mct") {
            if (kLargestLayout.firstBlock(kLargestLayout.sectorOf(b)) == b) {
                out << "+Sector: " << kLargestLayout.sectorOf(b) << "\n";
            }
            out << (known ? toHex(image.blocks[b]) : unread) << "\n";
        } else if (ext == "eml") {
            out << (known ? toHex(image.blocks[b]) : unread) << "\n";
        } else {
            const Bytes data = known ? image.blocks[b] : Bytes(kBlockSize, 0);
            out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
        }
    }
    if (!out.flush()) throw Failure(kExitFailure, "cannot write " + path);
}

Image loadDump(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Failure(kExitFailure, "cannot read " + path);
    const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Image image;
    // A binary image of a card's size is binary even when it looks printable.
    if (content.size() != 1024 && content.size() != 4096 && content.size() != 320 && looksLikeText(content)) {
        image = parseText(path, content);
    } else {
        if (content.size() % kBlockSize != 0) {
            throw usageError(path + ": " + std::to_string(content.size()) + " bytes is not a whole number of blocks");
        }
        for (std::size_t at = 0; at < content.size(); at += kBlockSize) {
            image.blocks.emplace_back(content.begin() + static_cast<std::ptrdiff_t>(at),
                                      content.begin() + static_cast<std::ptrdiff_t>(at + kBlockSize));
            image.known.push_back(true);
        }
    }
    if (image.blocks.empty()) throw usageError(path + ": no blocks");
    return image;
}

}  // namespace kl::mifare
