// A simulated reader in a private folder, opened through the library, for
// the benchmarks that go through the whole chain.
#pragma once

#include <memory>
#include <string>

#include "server/device_server.h"

namespace bench {

class Rig {
public:
    Rig();
    ~Rig();
    bool ok() const { return ok_; }
    // Places a card of the simulator's catalogue ("mifare1k").
    bool place(const std::string& spec);

private:
    std::string dir_;
    sim::Reader reader_;
    std::unique_ptr<sim::DeviceServer> server_;
    bool ok_ = false;
};

}  // namespace bench
