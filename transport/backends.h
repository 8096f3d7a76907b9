// The backends of this platform, searched in order when a reader is opened.
// One file per platform defines the list (backends_linux.cpp); the build
// picks it.
#pragma once

#include <memory>
#include <vector>

#include "device.h"

namespace tavo {

std::vector<std::unique_ptr<Backend>> defaultBackends();

}  // namespace tavo
