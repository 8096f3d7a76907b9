// Linux: hidraw devices first, then virtual readers.
#include "backends.h"
#include "hidraw_backend.h"
#include "virtual_device.h"

namespace tavo {

std::vector<std::unique_ptr<Backend>> defaultBackends() {
    std::vector<std::unique_ptr<Backend>> backends;
    backends.push_back(makeHidrawBackend());
    backends.push_back(makeVirtualBackend());
    return backends;
}

}  // namespace tavo
