// Windows: the HID class driver's devices.
#include "backends.h"
#include "win32_hid.h"

namespace tavo {

std::vector<std::unique_ptr<Backend>> defaultBackends() {
    std::vector<std::unique_ptr<Backend>> backends;
    backends.push_back(makeWin32HidBackend(makeSystemHidApi()));
    return backends;
}

}  // namespace tavo
