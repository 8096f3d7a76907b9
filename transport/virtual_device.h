// Virtual readers: SOCK_SEQPACKET sockets in the virtual-device folder
// (virtual_folder.h), one 33-byte report per message.
#pragma once

#include <memory>

#include "device.h"

namespace tavo {

std::unique_ptr<Backend> makeVirtualBackend();

}  // namespace tavo
