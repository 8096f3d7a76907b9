// The state of the Caps, Num and Scroll lock keys, for the status bar's
// indicators. Unknown (nullopt) where the platform cannot tell.
#pragma once

#include <optional>

struct LockKeys {
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

std::optional<LockKeys> queryLockKeys();
