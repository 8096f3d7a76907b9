#include "cards/dump.h"

#include <cctype>
#include <fstream>
#include <sstream>

#include "cards/mifare_classic.h"

namespace sim {
namespace dump {
namespace {

bool readFile(const std::string& path, std::string* content, std::string* why) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (why) *why = "cannot open dump " + path;
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    *content = buffer.str();
    return true;
}

bool writeFile(const std::string& path, const std::string& content, std::string* why) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out) {
        if (why) *why = "cannot write dump " + path;
        return false;
    }
    return true;
}

bool textPath(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos) return false;
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == "txt" || ext == "mct";
}

// A text dump holds only printable characters and line ends; a binary image
// of the right size is taken as binary even when it happens to look printable.
bool looksText(const std::string& content, std::size_t size) {
    if (content.size() == size) return false;
    for (const char c : content) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 && c != '\n' && c != '\r' && c != '\t') return false;
        if (u >= 0x7F) return false;
    }
    return true;
}

std::string trim(const std::string& line) {
    std::size_t begin = 0, end = line.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(line[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(line[end - 1]))) --end;
    return line.substr(begin, end - begin);
}

// One line of hex digits ('-' for unknown nibbles) into bytes.
bool hexLine(const std::string& line, Bytes* out) {
    std::string digits;
    for (const char c : line) {
        if (c == '-') digits += '0';
        else if (std::isxdigit(static_cast<unsigned char>(c))) digits += c;
        else if (!std::isspace(static_cast<unsigned char>(c))) return false;
    }
    return parseHex(digits, out);
}

std::string hexUpper(const std::uint8_t* data, std::size_t n) {
    static const char* const kDigits = "0123456789ABCDEF";
    std::string s;
    for (std::size_t i = 0; i < n; ++i) {
        s += kDigits[data[i] >> 4];
        s += kDigits[data[i] & 15];
    }
    return s;
}

bool binaryOrText(const std::string& path, std::size_t size, Bytes* image, std::string* why,
                  bool (*parse)(const std::string&, std::size_t, Bytes*, std::string*)) {
    std::string content;
    if (!readFile(path, &content, why)) return false;
    if (looksText(content, size)) {
        if (!parse(content, size, image, why)) {
            if (why) *why = path + ": " + *why;
            return false;
        }
        return true;
    }
    if (content.size() != size) {
        if (why) *why = path + ": " + std::to_string(content.size()) + " bytes, the card holds " + std::to_string(size);
        return false;
    }
    image->assign(content.begin(), content.end());
    return true;
}

}  // namespace

bool parseClassicText(const std::string& text, std::size_t size, Bytes* image, std::string* why) {
    // Without sector headers the lines are the blocks in order (the
    // emulator-memory format of other tools): the same as page lines.
    if (text.find("+Sector:") == std::string::npos) {
        Bytes blocks;
        if (!parsePagesText(text, size, &blocks, why)) return false;
        *image = std::move(blocks);
        return true;
    }
    Bytes result = *image;
    result.resize(size, 0);
    const int sectors = size == 4096 ? 40 : 16;
    std::istringstream in(text);
    std::string line;
    int sector = -1, row = 0, number = 0;
    bool skip = false;
    while (std::getline(in, line)) {
        ++number;
        line = trim(line);
        if (line.empty()) continue;
        if (line.rfind("+Sector:", 0) == 0) {
            sector = std::atoi(line.c_str() + 8);
            if (sector < 0 || sector >= sectors) {
                if (why) *why = "line " + std::to_string(number) + ": no sector " + line.substr(8) + " on this card";
                return false;
            }
            row = 0;
            skip = false;
            continue;
        }
        if (sector < 0 || skip) continue;
        Bytes block;
        if (!hexLine(line, &block) || block.size() != MifareClassic::kBlockSize) {
            // "No keys found (or dead sector)" and similar notes: the sector stays as it was.
            if (row == 0 && !std::isxdigit(static_cast<unsigned char>(line[0])) && line[0] != '-') {
                skip = true;
                continue;
            }
            if (why) *why = "line " + std::to_string(number) + ": not a block of 16 bytes in hex";
            return false;
        }
        if (row >= MifareClassic::blocksIn(sector)) {
            if (why) {
                *why = "line " + std::to_string(number) + ": sector " + std::to_string(sector) + " has too many blocks";
            }
            return false;
        }
        const std::size_t at = static_cast<std::size_t>(MifareClassic::firstBlock(sector) + row) * 16;
        std::copy(block.begin(), block.end(), result.begin() + static_cast<std::ptrdiff_t>(at));
        ++row;
    }
    *image = std::move(result);
    return true;
}

std::string classicText(const Bytes& image) {
    std::string out;
    const int sectors = image.size() == 4096 ? 40 : 16;
    for (int s = 0; s < sectors; ++s) {
        out += "+Sector: " + std::to_string(s) + "\n";
        for (int b = 0; b < MifareClassic::blocksIn(s); ++b) {
            out += hexUpper(image.data() + (MifareClassic::firstBlock(s) + b) * 16, 16) + "\n";
        }
    }
    return out;
}

bool parsePagesText(const std::string& text, std::size_t size, Bytes* image, std::string* why) {
    Bytes result;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        line = trim(line);
        if (line.empty() || line[0] == '+' || line[0] == '#') continue;
        Bytes bytes;
        if (!hexLine(line, &bytes) || bytes.empty() || bytes.size() % 4 != 0) {
            if (why) *why = "line " + std::to_string(number) + ": not whole 4-byte pages or blocks in hex";
            return false;
        }
        result.insert(result.end(), bytes.begin(), bytes.end());
    }
    if (result.size() != size) {
        if (why) *why = std::to_string(result.size()) + " bytes of hex, the card holds " + std::to_string(size);
        return false;
    }
    *image = std::move(result);
    return true;
}

bool loadClassic(const std::string& path, std::size_t size, Bytes* image, std::string* why) {
    return binaryOrText(path, size, image, why, parseClassicText);
}

bool loadPages(const std::string& path, std::size_t size, Bytes* image, std::string* why) {
    return binaryOrText(path, size, image, why, parsePagesText);
}

bool saveClassic(const std::string& path, const Bytes& image, std::string* why) {
    if (textPath(path)) return writeFile(path, classicText(image), why);
    return writeFile(path, std::string(image.begin(), image.end()), why);
}

bool savePages(const std::string& path, const Bytes& image, std::string* why) {
    if (!textPath(path)) return writeFile(path, std::string(image.begin(), image.end()), why);
    std::string text;
    for (std::size_t p = 0; p + 4 <= image.size(); p += 4) text += hexUpper(image.data() + p, 4) + "\n";
    return writeFile(path, text, why);
}

}  // namespace dump
}  // namespace sim
