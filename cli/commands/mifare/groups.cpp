// The mifare command groups.
#include "core/command.h"

namespace {
const bool kMifare = kl::registerGroup("mifare", "Mifare Classic 1K/4K cards: search, read, write, dump, values, keys");
const bool kValue = kl::registerGroup("mifare value", "value blocks: get, set, inc, dec, restore, transfer");
const bool kAcl = kl::registerGroup("mifare acl", "access bits of a sector trailer, decoded and encoded (offline)");
}  // namespace
