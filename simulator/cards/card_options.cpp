#include "cards/card_options.h"

#include <algorithm>

#include "card_image.h"

namespace sim {

bool onlyOptions(const CardOptions& options, std::initializer_list<const char*> known, std::string* why) {
    for (const auto& entry : options) {
        const bool listed = std::any_of(known.begin(), known.end(), [&](const char* k) { return entry.first == k; });
        if (!listed) {
            if (why) *why = "unknown option '" + entry.first + "'";
            return false;
        }
    }
    return true;
}

bool hexOption(const CardOptions& options, const std::string& key, std::size_t size, Bytes* out, std::string* why) {
    const auto found = options.find(key);
    if (found == options.end()) return true;
    Bytes value;
    if (!parseHex(found->second, &value) || value.size() != size) {
        if (why) *why = key + " must be " + std::to_string(size) + " bytes of hex";
        return false;
    }
    *out = std::move(value);
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
