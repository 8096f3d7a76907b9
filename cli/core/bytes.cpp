#include "bytes.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace kl {

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
