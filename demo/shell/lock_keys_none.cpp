// Platforms without a way to ask for the lock keys.
#include "shell/lock_keys.h"

std::optional<LockKeys> queryLockKeys() { return std::nullopt; }
