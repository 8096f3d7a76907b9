// Fault specifications as readersim and the tests give them.
#include <gtest/gtest.h>

#include "server/faults.h"

namespace {

TEST(SimFaults, ParsesEveryKindAndRefusesNonsense) {
    sim::Fault f;
    std::string why;
    ASSERT_TRUE(sim::Fault::parse("split=1:250*3", &f, &why)) << why;
    EXPECT_EQ(f.kind, sim::Fault::Kind::split);
    EXPECT_EQ(f.report, 1);
    EXPECT_EQ(f.delay_ms, 250);
    EXPECT_EQ(f.count, 3);
    ASSERT_TRUE(sim::Fault::parse("drop*", &f, &why));
    EXPECT_EQ(f.count, -1);
    for (const char* good : {"delay=10", "truncate=4", "corrupt-checksum", "garbage", "unplug-request",
                             "unplug-reply=0", "wrong-address"}) {
        EXPECT_TRUE(sim::Fault::parse(good, &f, &why)) << good;
    }
    for (const char* bad : {"", "explode", "delay", "delay=x", "split=3", "drop*0", "truncate=-1", "delay= 5", "delay=+5",
                            "delay=5x", "drop*2x", "delay=99999999999"}) {
        EXPECT_FALSE(sim::Fault::parse(bad, &f, &why)) << bad;
    }
}

}  // namespace
