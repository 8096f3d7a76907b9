#include "firmware/flash.h"

#include <cstdio>
#include <fstream>

namespace sim {

bool Flash::attach(const std::string& path, std::string* why) {
    path_ = path;
    if (path.empty()) return true;
    std::ifstream in(path, std::ios::binary);
    if (!in) return save() || (why && (*why = "cannot create flash file " + path, false));
    in.read(reinterpret_cast<char*>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()));
    return true;
}

bool Flash::read(std::size_t address, std::size_t length, std::vector<std::uint8_t>* out) const {
    if (address > kSize || length > kSize - address) return false;
    out->assign(bytes_.begin() + static_cast<std::ptrdiff_t>(address),
                bytes_.begin() + static_cast<std::ptrdiff_t>(address + length));
    return true;
}

bool Flash::write(std::size_t address, const std::vector<std::uint8_t>& data) {
    if (address > kSize || data.size() > kSize - address) return false;
    std::copy(data.begin(), data.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(address));
    return save();
}

bool Flash::save() const {
    if (path_.empty()) return true;
    // Written beside and renamed, so a crash never leaves half a memory.
    const std::string temp = path_ + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(reinterpret_cast<const char*>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()));
        if (!out) return false;
    }
    return std::rename(temp.c_str(), path_.c_str()) == 0;
}

}  // namespace sim
