// Placeholder until the hidraw backend lands: no hidraw devices are seen.
#include "hidraw_backend.h"

namespace tavo {
namespace {
class NoHidraw final : public Backend {
public:
    std::vector<DeviceInfo> enumerate() override { return {}; }
    std::unique_ptr<Device> open(const DeviceInfo&, std::string*) override { return nullptr; }
};
}  // namespace

std::unique_ptr<Backend> makeHidrawBackend(const std::string&, const std::string&) {
    return std::make_unique<NoHidraw>();
}
}  // namespace tavo
