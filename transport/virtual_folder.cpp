#include "virtual_folder.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tavo {
namespace {

constexpr const char* kSuffix = ".sock";
constexpr std::size_t kSuffixLength = 5;
constexpr std::size_t kPrefixLength = 10;  // "1a86-e010-"

bool endsWithSuffix(const std::string& file) {
    return file.size() > kSuffixLength && file.compare(file.size() - kSuffixLength, kSuffixLength, kSuffix) == 0;
}

}  // namespace

std::string virtualDeviceDir() {
    if (const char* dir = std::getenv("TAVOHID_VIRTUAL_DIR")) return dir;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime != '\0') {
        return std::string(runtime) + "/tavohid";
    }
    return "/tmp/tavohid-" + std::to_string(::getuid());
}

bool virtualDirTrusted(const std::string& dir, std::string* why) {
    // lstat: a symlink is judged as itself, never by what it points to, so
    // no one can swap the folder under a trusted name.
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0) {
        if (why) *why = dir + ": " + std::strerror(errno);
        return false;
    }
    if (S_ISLNK(st.st_mode)) {
        if (why) *why = dir + " is a symlink";
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        if (why) *why = dir + " is not a folder";
        return false;
    }
    if (st.st_uid != ::geteuid()) {
        if (why) *why = dir + " is not owned by this user";
        return false;
    }
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        if (why) *why = dir + ((st.st_mode & S_IWOTH) != 0 ? " is writable by others" : " is writable by its group");
        return false;
    }
    return true;
}

std::string virtualDeviceFileName(std::uint16_t vendor_id, std::uint16_t product_id, const std::string& name) {
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "%04x-%04x-", vendor_id, product_id);
    return prefix + name + kSuffix;
}

std::vector<DeviceInfo> enumerateVirtual(const std::string& dir, std::vector<PassedOver>* passed_over) {
    std::vector<DeviceInfo> devices;
    const std::size_t first_passed_over = passed_over ? passed_over->size() : 0;
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) return devices;
    while (const dirent* entry = ::readdir(d)) {
        const std::string file = entry->d_name;
        if (!endsWithSuffix(file)) continue;
        unsigned vid = 0, pid = 0;
        int consumed = 0;
        const bool named = file.size() > kPrefixLength + kSuffixLength &&
                           std::sscanf(file.c_str(), "%4x-%4x-%n", &vid, &pid, &consumed) == 2 &&
                           consumed == static_cast<int>(kPrefixLength);
        if (!named) {
            if (passed_over) passed_over->push_back({dir + "/" + file, "name is not <vid>-<pid>-<name>.sock"});
            continue;
        }
        DeviceInfo info;
        info.path = dir + "/" + file;
        info.vendor_id = static_cast<std::uint16_t>(vid);
        info.product_id = static_cast<std::uint16_t>(pid);
        info.backend = "virtual";
        info.name = file.substr(kPrefixLength, file.size() - kPrefixLength - kSuffixLength);
        devices.push_back(info);
    }
    ::closedir(d);
    std::sort(devices.begin(), devices.end(), [](const DeviceInfo& a, const DeviceInfo& b) { return a.path < b.path; });
    if (passed_over) {
        std::sort(passed_over->begin() + static_cast<std::ptrdiff_t>(first_passed_over), passed_over->end(),
                  [](const PassedOver& a, const PassedOver& b) { return a.path < b.path; });
    }
    return devices;
}

}  // namespace tavo
