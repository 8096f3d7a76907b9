#include "cards/card_options.h"

#include <algorithm>
#include <fstream>
#include <iterator>

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
    std::ifstream in(found->second, std::ios::binary);
    if (!in) {
        if (why) *why = "cannot open dump " + found->second;
        return false;
    }
    Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() != size) {
        if (why)
            *why = "dump " + found->second + " has " + std::to_string(bytes.size()) + " bytes, expected " +
                   std::to_string(size);
        return false;
    }
    *image = std::move(bytes);
    return true;
}

bool saveImage(const std::string& path, const Bytes& image, std::string* why) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    if (!out) {
        if (why) *why = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace sim
