// Virtual readers on Windows: readersim's TCP endpoint on 127.0.0.1, found
// through the port files in the user's virtual-device folder.
#pragma once

#include <memory>

#include "device.h"

namespace tavo {

std::unique_ptr<Backend> makeTcpVirtualBackend();

}  // namespace tavo
