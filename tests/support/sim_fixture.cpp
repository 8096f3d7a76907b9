#include "support/sim_fixture.h"

namespace kvtest {

void SimReaderTest::SetUp() {
    std::string why;
    ASSERT_TRUE(SimServer::start(&why)) << why;
    ASSERT_EQ(rf_init_com(0, 0x1A86, 0xE010), 0);
}

void SimReaderTest::TearDown() {
    rf_ClosePort();
    SimServer::stop();
}

void SimReaderTest::place(const std::string& spec) {
    std::string why;
    ASSERT_TRUE(SimServer::place(spec, &why)) << why;
}

}  // namespace kvtest
