// End-to-end fixture: a simulated reader served on a thread of the test
// process, in a private virtual-device folder, opened through the real
// library and transport.
#pragma once

#include <gtest/gtest.h>

#include "KovalinkHID.h"
#include "support/sim_server.h"

namespace kvtest {

class SimReaderTest : public ::testing::Test, protected SimServer {
protected:
    void SetUp() override;
    void TearDown() override;

    // Places a card of the catalogue ("mifare1k:uid=...") on the antenna.
    void place(const std::string& spec);
};

}  // namespace kvtest
