#include "firmware/flash.h"

#include <algorithm>
#include <filesystem>

#include "file_io.h"

namespace sim {

bool Flash::attach(const std::string& path, std::string* why) {
    path_ = path;
    if (path.empty()) return true;
    std::string content, reason;
    std::error_code error;
    const bool missing = std::filesystem::symlink_status(path, error).type() == std::filesystem::file_type::not_found;
    if (!missing && common::readBoundedFile(path, kSize, "a flash file", &content, &reason)) {
        if (content.size() != kSize) {
            if (why) {
                *why = "flash file " + path + " holds " + std::to_string(content.size()) + " bytes, not " +
                       std::to_string(kSize) + " (truncated?); remove it or name another with --flash";
            }
            path_.clear();
            return false;
        }
        bytes_.assign(content.begin(), content.end());
        return true;
    }
    if (!missing) {
        if (why) *why = "flash file " + path + ": " + reason;
        path_.clear();
        return false;
    }
    // A new memory: the file is created now, so a place that cannot hold it
    // shows at once and not at the first write.
    if (!save(&reason)) {
        if (why) *why = "cannot create flash file " + path + ": " + reason;
        path_.clear();
        return false;
    }
    return true;
}

bool Flash::read(std::size_t address, std::size_t length, std::vector<std::uint8_t>* out) const {
    if (address > kSize || length > kSize - address) return false;
    out->assign(bytes_.begin() + static_cast<std::ptrdiff_t>(address),
                bytes_.begin() + static_cast<std::ptrdiff_t>(address + length));
    return true;
}

Flash::WriteResult Flash::write(std::size_t address, const std::vector<std::uint8_t>& data) {
    if (address > kSize || data.size() > kSize - address) return WriteResult::out_of_range;
    const auto at = bytes_.begin() + static_cast<std::ptrdiff_t>(address);
    const std::vector<std::uint8_t> before(at, at + static_cast<std::ptrdiff_t>(data.size()));
    std::copy(data.begin(), data.end(), at);
    std::string why;
    if (save(&why)) return WriteResult::saved;
    // The memory stays as the file has it: a write that was not kept did not happen.
    std::copy(before.begin(), before.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(address));
    last_error_ = why;
    return WriteResult::not_saved;
}

bool Flash::save(std::string* why) const {
    if (path_.empty()) return true;
    return common::writeFileReplacing(path_, std::string(bytes_.begin(), bytes_.end()), why);
}

}  // namespace sim
