#include "hidraw_enum.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <utility>

namespace tavo {
namespace {

#ifdef PATH_MAX
constexpr std::size_t kMaxPath = PATH_MAX;
#else
constexpr std::size_t kMaxPath = 1024;
#endif

// uevent is one page; report descriptors are at most 4 KiB.
constexpr std::size_t kMaxFileSize = 16384;
constexpr std::size_t kMaxNodeDigits = 9;

bool pathFits(const std::string& path) { return path.size() < kMaxPath; }

// Reads a small sysfs file in one pass; `why` gets the reason on failure.
bool readSmallFile(const std::string& path, std::string* content, std::string* why) {
    if (!pathFits(path)) {
        *why = "path too long";
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *why = path + ": " + std::strerror(errno);
        return false;
    }
    content->clear();
    char chunk[4096];
    while (content->size() < kMaxFileSize) {
        const ssize_t n = ::read(fd, chunk, std::min(sizeof chunk, kMaxFileSize - content->size()));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            *why = path + ": " + std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        content->append(chunk, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

std::string deviceDir(const std::string& sysfs_root, const std::string& node) {
    return sysfs_root + "/class/hidraw/" + node + "/device/";
}

// One to eight hex digits, nothing else.
bool parseHexField(const std::string& field, std::uint32_t* value) {
    if (field.empty() || field.size() > 8) return false;
    std::uint32_t v = 0;
    for (const char c : field) {
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return false;
        }
        v = v << 4 | digit;
    }
    *value = v;
    return true;
}

bool parseHidId(const std::string& id, std::uint16_t* vendor_id, std::uint16_t* product_id) {
    const std::size_t first = id.find(':');
    const std::size_t second = first == std::string::npos ? first : id.find(':', first + 1);
    if (second == std::string::npos) return false;
    std::uint32_t bus = 0, vendor = 0, product = 0;
    if (!parseHexField(id.substr(0, first), &bus) || !parseHexField(id.substr(first + 1, second - first - 1), &vendor) ||
        !parseHexField(id.substr(second + 1), &product)) {
        return false;
    }
    if (vendor > 0xFFFF || product > 0xFFFF) return false;
    *vendor_id = static_cast<std::uint16_t>(vendor);
    *product_id = static_cast<std::uint16_t>(product);
    return true;
}

}  // namespace

bool parseUevent(const std::string& text, std::uint16_t* vendor_id, std::uint16_t* product_id, std::string* name) {
    static const std::string kId = "HID_ID=";
    static const std::string kName = "HID_NAME=";
    bool have_id = false;
    std::string found_name;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!have_id && line.compare(0, kId.size(), kId) == 0) {
            if (!parseHidId(line.substr(kId.size()), vendor_id, product_id)) return false;
            have_id = true;
        } else if (found_name.empty() && line.compare(0, kName.size(), kName) == 0) {
            found_name = line.substr(kName.size());
        }
    }
    if (have_id) *name = found_name;
    return have_id;
}

bool parseHidrawNode(const std::string& node, int* number) {
    static const std::string kPrefix = "hidraw";
    if (node.size() <= kPrefix.size() || node.size() > kPrefix.size() + kMaxNodeDigits) return false;
    if (node.compare(0, kPrefix.size(), kPrefix) != 0) return false;
    int n = 0;
    for (std::size_t i = kPrefix.size(); i < node.size(); ++i) {
        if (node[i] < '0' || node[i] > '9') return false;
        n = n * 10 + (node[i] - '0');
    }
    *number = n;
    return true;
}

std::vector<DeviceInfo> enumerateHidraw(const std::string& sysfs_root, const std::string& dev_root,
                                        std::vector<PassedOver>* passed_over) {
    std::vector<std::pair<int, DeviceInfo>> found;
    std::vector<std::pair<int, PassedOver>> skipped;
    const std::string class_dir = sysfs_root + "/class/hidraw";
    DIR* dir = pathFits(class_dir) ? ::opendir(class_dir.c_str()) : nullptr;
    if (dir == nullptr) return {};
    // Each entry is looked at once: one that cannot be read is skipped.
    while (const dirent* entry = ::readdir(dir)) {
        const std::string node = entry->d_name;
        int number = 0;
        if (!parseHidrawNode(node, &number)) continue;
        DeviceInfo info;
        info.path = dev_root + "/" + node;
        info.backend = "hidraw";
        std::string uevent, why;
        if (!pathFits(info.path) || !pathFits(deviceDir(sysfs_root, node) + "report_descriptor")) {
            why = "path too long";
        } else if (!readSmallFile(deviceDir(sysfs_root, node) + "uevent", &uevent, &why)) {
            why = "uevent unreadable (" + why + ")";
        } else if (!parseUevent(uevent, &info.vendor_id, &info.product_id, &info.name)) {
            why = "uevent has no valid HID_ID";
        } else {
            found.emplace_back(number, std::move(info));
            continue;
        }
        skipped.emplace_back(number, PassedOver{info.path, why});
    }
    ::closedir(dir);
    const auto byNumber = [](const auto& a, const auto& b) { return a.first < b.first; };
    std::sort(found.begin(), found.end(), byNumber);
    std::sort(skipped.begin(), skipped.end(), byNumber);
    if (passed_over) {
        for (auto& entry : skipped) passed_over->push_back(std::move(entry.second));
    }
    std::vector<DeviceInfo> devices;
    devices.reserve(found.size());
    for (auto& entry : found) devices.push_back(std::move(entry.second));
    return devices;
}

ReportLayout readReportLayout(const std::string& sysfs_root, const std::string& node) {
    std::string descriptor, why;
    if (!readSmallFile(deviceDir(sysfs_root, node) + "report_descriptor", &descriptor, &why)) {
        ReportLayout fallback;
        fallback.fallback_reason = "report descriptor unreadable (" + why + ")";
        return fallback;
    }
    return parseReportDescriptor(reinterpret_cast<const std::uint8_t*>(descriptor.data()), descriptor.size());
}

}  // namespace tavo
