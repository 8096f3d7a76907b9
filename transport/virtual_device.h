// Virtual readers: SOCK_SEQPACKET sockets in a folder owned by the user,
// named <vid>-<pid>-<name>.sock (ids as four lower-case hex digits), one
// 33-byte report per message.
#pragma once

#include <memory>
#include <string>

#include "device.h"

namespace tavo {

// The folder searched for virtual readers: $TAVOHID_VIRTUAL_DIR when set (set
// but empty: none), else $XDG_RUNTIME_DIR/tavohid, else /tmp/tavohid-<uid>.
// Empty when virtual readers are disabled.
std::string virtualDeviceDir();

// True when the folder is a directory owned by this user and not writable by
// others; `why` gets the reason otherwise.
bool virtualDirTrusted(const std::string& dir, std::string* why);

std::unique_ptr<Backend> makeVirtualBackend();

}  // namespace tavo
