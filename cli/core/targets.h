// Which card and which reader to work with, as the command line named them:
// --uid and --device. Set once while the options are parsed.
#pragma once

#include <string>

#include "bytes.h"

namespace kl {

struct Targets {
    // A type A card's UID (4, 7 or 10 bytes) or an ISO15693 label's (8, E0
    // first); empty: the one the reader finds first.
    Bytes uid;
    // The reader's path (as 'kovalink list' shows it) or serial number;
    // empty: the first reader with the ids.
    std::string device;
};

Targets& targets();

}  // namespace kl
