#include "hex.h"

namespace common {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool parseHex(std::string_view text, Bytes* out, std::string* why) {
    const auto refuse = [&](const std::string& reason) {
        if (why) *why = "'" + std::string(text) + "': " + reason;
        return false;
    };
    std::string_view digits = text;
    if (digits.size() >= 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) digits.remove_prefix(2);
    Bytes bytes;
    int high = -1;  // the first digit of a byte, while its second is awaited
    for (const char c : digits) {
        if (c == ' ' || c == '\t' || c == ':' || c == '-') {
            if (high >= 0) return refuse("a separator splits a byte");
            continue;
        }
        const int value = hexDigit(c);
        if (value < 0) return refuse("'" + std::string(1, c) + "' is not a hex digit");
        if (high < 0) {
            high = value;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high << 4 | value));
            high = -1;
        }
    }
    if (high >= 0) return refuse("odd number of hex digits");
    *out = std::move(bytes);
    return true;
}

std::string toHex(const std::uint8_t* data, std::size_t length, std::string_view separator) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(length * (2 + separator.size()));
    for (std::size_t i = 0; i < length; ++i) {
        if (i > 0) text += separator;
        text += kDigits[data[i] >> 4];
        text += kDigits[data[i] & 0x0F];
    }
    return text;
}

}  // namespace common
