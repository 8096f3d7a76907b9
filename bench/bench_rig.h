// A simulated reader in a private folder, opened through the library, for
// the benchmarks that go through the whole chain.
#pragma once

#include <string>

#include "support/sim_server.h"

namespace bench {

class Rig {
public:
    Rig();
    ~Rig();
    bool ok() const { return ok_; }
    // Places a card of the simulator's catalogue ("mifare1k").
    bool place(const std::string& spec);

private:
    kvtest::SimServer sim_;
    bool ok_ = false;
};

}  // namespace bench
