// Windows: the HID class driver's devices first, then virtual readers.
#include "backends.h"
#include "virtual_tcp.h"
#include "win32_hid.h"

namespace tavo {

std::vector<std::unique_ptr<Backend>> defaultBackends() {
    std::vector<std::unique_ptr<Backend>> backends;
    backends.push_back(makeWin32HidBackend(makeSystemHidApi()));
    backends.push_back(makeTcpVirtualBackend());
    return backends;
}

}  // namespace tavo
