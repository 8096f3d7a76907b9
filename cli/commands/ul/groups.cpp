// The ul (ntag) command group.
#include "core/command.h"

namespace {
const bool kUl = kl::registerGroup("ul", "Ultralight, Ultralight C and NTAG tags: info, read, write, dump, auth, fast-read",
                                   "Cards", {"ntag"});
}  // namespace
