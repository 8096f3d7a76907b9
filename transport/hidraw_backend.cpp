#include "hidraw_backend.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>

#include "hidraw_device.h"
#include "hidraw_enum.h"

namespace tavo {
namespace {

class HidrawBackend final : public Backend {
public:
    HidrawBackend(std::string sysfs_root, std::string dev_root)
        : sysfs_root_(std::move(sysfs_root)), dev_root_(std::move(dev_root)) {}

    std::vector<DeviceInfo> enumerate() override { return enumerateHidraw(sysfs_root_, dev_root_); }

    std::unique_ptr<Device> open(const DeviceInfo& info, std::string* why) override {
        const std::string node = info.path.substr(info.path.rfind('/') + 1);
        int number = 0;
        if (!parseHidrawNode(node, &number)) {
            if (why) *why = "not a hidraw node";
            return nullptr;
        }
        const int fd = ::open(info.path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            if (why) *why = std::strerror(errno);
            return nullptr;
        }
        return std::make_unique<HidrawDevice>(fd, readReportLayout(sysfs_root_, node));
    }

private:
    std::string sysfs_root_;
    std::string dev_root_;
};

}  // namespace

std::unique_ptr<Backend> makeHidrawBackend(const std::string& sysfs_root, const std::string& dev_root) {
    return std::make_unique<HidrawBackend>(sysfs_root, dev_root);
}

}  // namespace tavo
