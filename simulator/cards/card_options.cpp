#include "cards/card_options.h"

#include <algorithm>
#include <charconv>

#include "card_image.h"

namespace sim {

namespace {

bool refuse(std::string* why, const std::string& reason) {
    if (why) *why = reason;
    return false;
}

}  // namespace

bool onlyOptions(const CardOptions& options, const std::vector<std::string>& known, std::string* why) {
    for (const auto& entry : options) {
        if (std::find(known.begin(), known.end(), entry.first) == known.end()) {
            return refuse(why, "unknown option '" + entry.first + "'");
        }
    }
    return true;
}

bool hexOption(const CardOptions& options, const std::string& key, std::initializer_list<std::size_t> sizes, Bytes* out,
               std::string* why) {
    const auto found = options.find(key);
    if (found == options.end()) return true;
    Bytes value;
    if (parseHex(found->second, &value) && std::find(sizes.begin(), sizes.end(), value.size()) != sizes.end()) {
        *out = std::move(value);
        return true;
    }
    std::string counts;
    for (const std::size_t n : sizes) {
        if (!counts.empty()) counts += n == *(sizes.end() - 1) ? " or " : ", ";
        counts += std::to_string(n);
    }
    return refuse(why, key + " must be " + counts + (counts == "1" ? " byte" : " bytes") + " of hex");
}

bool hexOption(const CardOptions& options, const std::string& key, std::size_t min, std::size_t max, Bytes* out,
               std::string* why) {
    const auto found = options.find(key);
    if (found == options.end()) return true;
    Bytes value;
    if (!parseHex(found->second, &value) || value.size() < min || value.size() > max) {
        return refuse(why, key + " must be " + std::to_string(min) + " to " + std::to_string(max) + " bytes of hex");
    }
    *out = std::move(value);
    return true;
}

bool numberOption(const CardOptions& options, const std::string& key, unsigned long min, unsigned long max,
                  unsigned long* out, std::string* why) {
    const auto found = options.find(key);
    if (found == options.end()) return true;
    const std::string& text = found->second;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    unsigned long value = 0;
    // from_chars takes no sign, space or prefix: the digits must fill the text.
    const auto [stop, error] = std::from_chars(first, last, value, hex ? 16 : 10);
    if (text.empty() || error != std::errc() || stop != last || value < min || value > max) {
        return refuse(why, key + " must be a number from " + std::to_string(min) + " to " + std::to_string(max) +
                               " (decimal, or hex after 0x), not '" + text + "'");
    }
    *out = value;
    return true;
}

Bytes reversed(Bytes bytes) {
    std::reverse(bytes.begin(), bytes.end());
    return bytes;
}

bool loadImage(const CardOptions& options, std::size_t size, Bytes* image, std::string* why) {
    const auto found = options.find("dump");
    if (found == options.end()) return true;
    common::image::Image loaded;
    common::image::Error error;
    if (!common::image::loadRaw(found->second, size, &loaded, &error)) {
        if (why) *why = error.text();
        return false;
    }
    *image = std::move(loaded.bytes);
    return true;
}

bool saveImage(const std::string& path, const Bytes& image, std::string* why) {
    common::image::Error error;
    if (common::image::saveRaw(path, common::image::Image::of(image), &error)) return true;
    if (why) *why = error.text();
    return false;
}

}  // namespace sim
