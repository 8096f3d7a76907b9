// The at88 command group.
#include "core/command.h"

namespace {
const bool kGroup = kl::registerGroup("at88", "AT88RF020 cards: read, write, check, lock, count, deselect");
}  // namespace
