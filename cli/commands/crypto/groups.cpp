// The crypto command group: the library's cipher helpers, no reader needed.
#include "core/command.h"

namespace {
const bool kCrypto = kl::registerGroup("crypto", "DES, triple DES, MAC and key diversification on this computer",
                                       "Offline");
}  // namespace
