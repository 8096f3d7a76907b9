// Every fault the simulated reader can inject, against a command of each
// reply rule: the result the rules define, no hang beyond the time-outs, a
// consistent last status, and a working command afterwards.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "support/sim_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Rule {
    const char* name;
    std::function<int()> call;
    bool ignores_reply_errors;  // door_acess: only a transport failure counts
};

const Rule kRules[] = {
    {"status", [] { return rf_beep(0, 1); }, false},
    {"exact", [] {
         unsigned char model[2];
         return rf_get_model(0, model);
     }, false},
    {"variable", [] {
         unsigned char snr[252];
         int length = 0;
         return rf_get_snr(0, snr, &length);
     }, false},
    {"special", [] {
         unsigned char data[40];  // a reply of two reports
         return rf_flash_read(0, 0, 0, 40, data);
     }, false},
    {"raw", [] {
         unsigned char body[258];
         const unsigned char duration = 1;
         return door_acess(0, 0x1D, 1, &duration, body);
     }, true},
};

struct Case {
    const char* fault;
    int rule;
    bool transport_fails;  // nothing usable arrives: every rule returns 1
    bool reply_rejected;   // something arrives but the frame is rejected
    bool device_gone;
};

class FaultMatrix : public kvtest::SimReaderTest, public ::testing::WithParamInterface<Case> {};

TEST_P(FaultMatrix, ResultAndRecovery) {
    const Case& c = GetParam();
    const Rule& rule = kRules[c.rule];
    sim::Fault fault;
    std::string why;
    ASSERT_TRUE(sim::Fault::parse(c.fault, &fault, &why)) << why;
    server->inject(fault);

    const auto start = Clock::now();
    const int result = rule.call();
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(4600));

    int expected = 0;
    if (c.transport_fails || (c.reply_rejected && !rule.ignores_reply_errors)) expected = 1;
    EXPECT_EQ(result, expected);
    EXPECT_EQ(rf_GetErrorMessage(), c.transport_fails || c.reply_rejected ? 1 : 0);

    if (c.device_gone) {
        ASSERT_EQ(rf_init_com(0, 0x1A86, 0xE010), 0);
    } else if (c.transport_fails) {
        // A late reply may still be on its way; it is discarded, not taken
        // as the answer to the next command.
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
    }
    EXPECT_EQ(rule.call(), 0);
    unsigned char model[2] = {};
    EXPECT_EQ(rf_get_model(0, model), 0);
    EXPECT_EQ(model[0], 0x4B);
}

std::vector<Case> cases() {
    std::vector<Case> all;
    for (int rule = 0; rule < 5; ++rule) {
        all.push_back({"delay=4500", rule, true, false, false});
        all.push_back({"drop", rule, true, false, false});
        all.push_back({"truncate=6", rule, false, true, false});
        all.push_back({"corrupt-checksum", rule, false, true, false});
        all.push_back({"garbage", rule, false, false, false});
        all.push_back({"split=1:50", rule, false, false, false});
        all.push_back({"split=2:50", rule, false, false, false});
        all.push_back({"wrong-address", rule, false, false, false});
        all.push_back({"unplug-request", rule, true, false, true});
        all.push_back({"unplug-reply=0", rule, true, false, true});
    }
    // A reply of two reports cut after the first: 31 bytes, no ETX.
    all.push_back({"unplug-reply=1", 3, false, true, true});
    return all;
}

void PrintTo(const Case& c, std::ostream* os) { *os << c.fault << " / " << kRules[c.rule].name; }

std::string name(const ::testing::TestParamInfo<Case>& info) {
    std::string fault = info.param.fault;
    for (char& ch : fault) {
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    }
    return std::string(kRules[info.param.rule].name) + "_" + fault;
}

INSTANTIATE_TEST_SUITE_P(AllFaults, FaultMatrix, ::testing::ValuesIn(cases()), name);

}  // namespace
