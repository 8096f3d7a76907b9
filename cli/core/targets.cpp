#include "targets.h"

namespace kl {

Targets& targets() {
    static Targets chosen;
    return chosen;
}

}  // namespace kl
