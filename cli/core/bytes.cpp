#include "bytes.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace kl {

std::string toHex(const std::uint8_t* data, std::size_t length, const char* separator) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        if (i > 0) text += separator;
        text += digits[data[i] >> 4];
        text += digits[data[i] & 0x0F];
    }
    return text;
}

namespace {
int nibble(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
}  // namespace

std::string parseHex(const std::string& text, Bytes* out) {
    std::string digits;
    std::size_t start = 0;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) start = 2;
    for (std::size_t i = start; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ' || c == ':' || c == '-' || c == '\t') {
            // A separator may only stand between whole bytes.
            if (digits.size() % 2 != 0) return "'" + text + "': a separator splits a byte";
            continue;
        }
        if (nibble(c) < 0) return "'" + text + "': '" + std::string(1, c) + "' is not a hex digit";
        digits += c;
    }
    if (digits.size() % 2 != 0) return "'" + text + "': odd number of hex digits";
    Bytes bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(nibble(digits[i]) << 4 | nibble(digits[i + 1])));
    }
    *out = std::move(bytes);
    return {};
}

std::string parseNumber(const std::string& text, long long min, long long max, long long* out) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    const bool negative = !hex && !digits.empty() && digits[0] == '-';
    bool valid = digits.size() > (negative ? 1u : 0u) && digits.size() <= 20;
    for (std::size_t i = negative ? 1 : 0; valid && i < digits.size(); ++i) {
        valid = hex ? std::isxdigit(static_cast<unsigned char>(digits[i])) != 0
                    : std::isdigit(static_cast<unsigned char>(digits[i])) != 0;
    }
    if (!valid) return "'" + text + "' is not a number (decimal, or hex with 0x)";
    errno = 0;
    const long long value = std::strtoll(digits.c_str(), nullptr, hex ? 16 : 10);
    if (errno == ERANGE || value < min || value > max) {
        return "'" + text + "' is out of range " + std::to_string(min) + ".." + std::to_string(max);
    }
    *out = value;
    return {};
}

}  // namespace kl
