// The iso15693 command group.
#include "core/command.h"

namespace {
const bool kGroup = kl::registerGroup("iso15693", "ISO15693 labels (I-CODE, Tag-it): inventory, info, read, write, "
                                      "lock, afi, dsfid, eas");
}  // namespace
