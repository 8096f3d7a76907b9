// The st command group.
#include "core/command.h"

namespace {
const bool kGroup = kl::registerGroup("st", "ST SR176, SRI512 and SRIX4K chips: select, read, write, uid, auth, lock, "
                                      "complete");
}  // namespace
