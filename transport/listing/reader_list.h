// What the programs may know of the transport's device search: the readers
// it would consider, hidraw and virtual, each with the reason it would be
// passed over, and the folder where virtual readers live. A small static
// library (tavo_listing) carries it, so a program lists readers exactly as
// the transport finds them without linking the transport itself.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavo {

struct ReaderCandidate {
    std::string backend;  // "hidraw" or "virtual"
    std::string path;     // /dev/hidrawN or the socket
    std::string name;
    std::uint16_t vendor_id = 0;
    std::uint16_t product_id = 0;
    bool ids_known = false;   // false when the entry could not even be identified
    std::string passed_over;  // empty when the transport would try to open it; else why not
};

struct ReaderList {
    // In the transport's search order; after each backend's readers come the
    // entries it could not even identify.
    std::vector<ReaderCandidate> candidates;
    std::string virtual_dir;                  // empty when virtual readers are disabled
    std::string virtual_dir_ignored;          // why that folder is not searched, if it is not
};

// `sysfs_root` and `dev_root` are "/sys" and "/dev" except in tests.
ReaderList listReaders(const std::string& sysfs_root = "/sys", const std::string& dev_root = "/dev");

// The folder searched for virtual readers: $TAVOHID_VIRTUAL_DIR when set (set
// but empty: none), else $XDG_RUNTIME_DIR/tavohid, else /tmp/tavohid-<uid>.
// Empty when virtual readers are disabled.
std::string virtualDeviceDir();

// True when the folder is a directory (not a symlink) owned by this user and
// writable by no one else, group included; `why` gets the reason otherwise.
// The transport searches only such a folder, and readersim serves only in one.
bool virtualDirTrusted(const std::string& dir, std::string* why);

// "<vid>-<pid>-<name>.sock" with ids as four lower-case hex digits.
std::string virtualDeviceFileName(std::uint16_t vendor_id, std::uint16_t product_id, const std::string& name);

}  // namespace tavo
