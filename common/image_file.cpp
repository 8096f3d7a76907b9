// Image files: reading in bounded size, telling the format, raw images,
// fitting an image to a card, and saving.
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>

#include "card_image.h"
#include "file_io.h"

namespace common::image {
namespace {

using mifare::kBlockSize;

bool fail(Error* error, const std::string& path, int line, std::string message) {
    *error = Error{path, line, std::move(message)};
    return false;
}

bool isClassicSize(std::size_t size) { return size % kBlockSize == 0 && mifare::layoutOfBlocks(size / kBlockSize); }

// Printable ASCII and line ends only.
bool looksLikeText(std::string_view content) {
    return std::all_of(content.begin(), content.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return (u >= 0x20 && u < 0x7F) || c == '\n' || c == '\r' || c == '\t';
    });
}

bool startsLikeJson(std::string_view content) {
    if (content.substr(0, 3) == "\xEF\xBB\xBF") content.remove_prefix(3);  // a UTF-8 byte-order mark
    const std::size_t first = content.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && content[first] == '{';
}

bool hasHeaderLine(std::string_view content) {
    for (std::size_t at = 0; at < content.size(); ++at) {
        at = content.find_first_not_of(" \t\r", at);
        if (at == std::string_view::npos) break;
        if (content[at] == '+') return true;
        at = content.find('\n', at);
        if (at == std::string_view::npos) break;
    }
    return false;
}

std::string rawOf(const Image& image) {
    std::string raw(image.bytes.begin(), image.bytes.end());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (!image.known[i]) raw[i] = 0;
    }
    return raw;
}

std::string extensionOf(const std::string& path) {
    const std::size_t slash = path.rfind('/'), dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

}  // namespace

bool writeFile(const std::string& path, const std::string& content, Error* error) {
    std::string why;
    if (!writeFileReplacing(path, content, &why)) return fail(error, path, 0, why);
    return true;
}

std::string Error::text() const {
    std::string where = path;
    if (line > 0) where += (where.empty() ? "line " : ":") + std::to_string(line);
    return where.empty() ? message : where + ": " + message;
}

Image Image::of(Bytes bytes, Format format) {
    Image image;
    image.format = format;
    image.known.assign(bytes.size(), true);
    image.bytes = std::move(bytes);
    return image;
}

bool Image::knows(std::size_t offset, std::size_t length) const {
    if (offset + length > known.size()) return false;
    return std::all_of(known.begin() + static_cast<std::ptrdiff_t>(offset),
                       known.begin() + static_cast<std::ptrdiff_t>(offset + length), [](bool k) { return k; });
}

bool readFile(const std::string& path, std::string* content, Error* error) {
    std::string why;
    if (!readBoundedFile(path, kMaxFileSize, "an image file", content, &why)) return fail(error, path, 0, why);
    return true;
}

bool parseClassicRaw(std::string_view content, Image* image, Error* error) {
    if (!isClassicSize(content.size())) {
        return fail(error, "", 0, std::to_string(content.size()) +
                                      " bytes; a raw Mifare Classic image has 320, 1024, 2048 or 4096");
    }
    *image = Image::of(Bytes(content.begin(), content.end()));
    return true;
}

namespace {

// A raw image's key file, when there is one.
bool loadKeysBeside(const std::string& path, Image* image, Error* error) {
    const std::string keys = keysPathOf(path);
    if (::access(keys.c_str(), F_OK) != 0) return true;
    std::string content;
    if (!readFile(keys, &content, error)) return false;
    if (parseKeys(content, image, error)) return true;
    error->path = keys;
    return false;
}

}  // namespace

bool loadClassic(const std::string& path, Image* image, Error* error) {
    std::string content;
    if (!readFile(path, &content, error)) return false;
    bool parsed = false;
    if (isClassicSize(content.size())) {
        parsed = parseClassicRaw(content, image, error);
    } else if (startsLikeJson(content)) {
        parsed = parseJson(content, image, error);
    } else if (!looksLikeText(content)) {
        parsed = parseClassicRaw(content, image, error);
    } else if (hasHeaderLine(content)) {
        parsed = parseSectors(content, image, error);
    } else if ((parsed = parseBlockLines(content, kBlockSize, image, error)) &&
               !mifare::layoutOfBlocks(image->bytes.size() / kBlockSize)) {
        parsed = fail(error, "", 0, std::to_string(image->bytes.size() / kBlockSize) +
                                        " blocks; a Mifare Classic image has 20, 64, 128 or 256");
    }
    if (!parsed) {
        error->path = path;
        return false;
    }
    image->path = path;
    return image->format != Format::raw || loadKeysBeside(path, image, error);
}

bool fitClassic(Image* image, const mifare::Layout& layout, Error* error) {
    const std::size_t have = image->bytes.size(), want = layout.bytes();
    if (image->format == Format::sectors) {
        for (unsigned s = layout.sectors; s < image->sector_lines.size(); ++s) {
            if (image->sector_lines[s] != 0) {
                return fail(error, image->path, image->sector_lines[s],
                            "sector " + std::to_string(s) + " lies beyond the " + std::to_string(layout.sectors) +
                                " sectors of this card");
            }
        }
        image->bytes.resize(want, 0);
        image->known.resize(want, false);
        image->sector_lines.resize(layout.sectors, 0);
        return true;
    }
    if (have != want) {
        return fail(error, image->path, 0, "the image holds " + std::to_string(have / kBlockSize) + " blocks, the card " +
                                      std::to_string(layout.blocks()));
    }
    return true;
}

namespace {

// Takes `result` as the image of a card of `size` bytes.
bool sized(const std::string& path, std::size_t size, Image result, Image* image, Error* error) {
    if (result.bytes.size() != size) {
        return fail(error, path, 0, "the image holds " + std::to_string(result.bytes.size()) + " bytes, the card " +
                                        std::to_string(size));
    }
    result.path = path;
    *image = std::move(result);
    return true;
}

}  // namespace

bool loadPages(const std::string& path, std::size_t size, Image* image, Error* error) {
    std::string content;
    if (!readFile(path, &content, error)) return false;
    Image result;
    if (content.size() == size || !looksLikeText(content)) {
        result = Image::of(Bytes(content.begin(), content.end()));
    } else if (!parseBlockLines(content, 4, &result, error)) {
        error->path = path;
        return false;
    }
    return sized(path, size, std::move(result), image, error);
}

bool loadRaw(const std::string& path, std::size_t size, Image* image, Error* error) {
    std::string content;
    if (!readFile(path, &content, error)) return false;
    return sized(path, size, Image::of(Bytes(content.begin(), content.end())), image, error);
}

Format formatOfPath(const std::string& path) {
    const std::string ext = extensionOf(path);
    if (ext == "txt" || ext == "mct") return Format::sectors;
    if (ext == "eml") return Format::blockLines;
    if (ext == "json") return Format::json;
    return Format::raw;
}

bool saveClassic(const std::string& path, const Image& image, Error* error) {
    switch (formatOfPath(path)) {
    case Format::sectors: return writeFile(path, sectorsText(image), error);
    case Format::blockLines: return writeFile(path, blockLinesText(image, kBlockSize), error);
    case Format::json: return writeFile(path, jsonText(image), error);
    case Format::raw: break;
    }
    if (!saveRaw(path, image, error)) return false;
    // The key file says what the raw bytes cannot; none is needed (and an
    // old one would be wrong) when every byte is known.
    const std::string keys = keysPathOf(path);
    if (std::all_of(image.known.begin(), image.known.end(), [](bool k) { return k; })) {
        if (::unlink(keys.c_str()) != 0 && errno != ENOENT) return fail(error, keys, 0, "cannot remove the old key file");
        return true;
    }
    return writeFile(keys, keysText(image), error);
}

bool savePages(const std::string& path, const Image& image, Error* error) {
    const std::string ext = extensionOf(path);
    if (ext == "txt" || ext == "mct" || ext == "eml") return writeFile(path, blockLinesText(image, 4), error);
    return saveRaw(path, image, error);
}

bool saveRaw(const std::string& path, const Image& image, Error* error) { return writeFile(path, rawOf(image), error); }

}  // namespace common::image
