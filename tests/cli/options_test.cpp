// Options refuse bad input while the command line is parsed; failures map to
// the documented exit codes; results print readably.
#include <gtest/gtest.h>

#include <sstream>

#include "core/errors.h"
#include "core/options.h"
#include "core/output.h"

namespace {

// Parses `args` against an app with one number and one hex option.
struct Parsed {
    unsigned short number = 1;
    kl::Bytes key;
    std::string error;
};

Parsed parse(std::vector<std::string> args) {
    Parsed p;
    CLI::App app;
    kl::addNumber(app, "--n", p.number, 0, 0xFFFF, "a number");
    kl::addHex(app, "--key", p.key, 6, "a key");
    std::reverse(args.begin(), args.end());
    try {
        app.parse(args);
    } catch (const CLI::ParseError& e) {
        p.error = e.what();
    }
    return p;
}

TEST(CliOptions, ValuesArriveParsed) {
    const Parsed p = parse({"--n", "0x1A86", "--key", "A0:A1:A2:A3:A4:A5"});
    EXPECT_EQ(p.error, "");
    EXPECT_EQ(p.number, 0x1A86);
    EXPECT_EQ(p.key, (kl::Bytes{0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5}));
}

TEST(CliOptions, BadValuesAreRefusedWithTheReason) {
    EXPECT_NE(parse({"--n", "65536"}).error.find("out of range 0..65535"), std::string::npos);
    EXPECT_NE(parse({"--n", "12x"}).error.find("not a number"), std::string::npos);
    EXPECT_NE(parse({"--key", "A0A1A2A3A4"}).error.find("has 5 bytes, expected 6"), std::string::npos);
    EXPECT_NE(parse({"--key", "A0A1A2A3A4A"}).error.find("odd number"), std::string::npos);
    EXPECT_EQ(parse({"--n", "010"}).number, 10);
}

TEST(CliErrors, ResultsMapToExitCodesAndWords) {
    EXPECT_EQ(kl::exitCodeFor(1), kl::kExitTransport);
    EXPECT_EQ(kl::exitCodeFor(0x10), kl::kExitReaderStatus);
    EXPECT_EQ(kl::exitCodeFor(-2), kl::kExitUsage);
    const kl::Failure f = kl::libraryError("rf_beep", 0x0A);
    EXPECT_STREQ(f.what(), "rf_beep failed: status 0x0A (no card answered)");
    EXPECT_EQ(kl::describeResult(0xEE), "reader status not documented");
}

TEST(CliOutput, RecordsBecomeAlignedTables) {
    kl::Output out(false);
    out["uid"] = "04A1B2C3";
    out["blocks"] = kl::Json::array({{{"block", 4}, {"data", "00 11"}}, {{"block", 12}, {"data", "FF"}}});
    out["empty"] = kl::Json::array();
    std::ostringstream text;
    out.print(text);
    EXPECT_EQ(text.str(), "uid: 04A1B2C3\nblocks:\n  block  data\n  4      00 11\n  12     FF\nempty: (none)\n");
}

TEST(CliOutput, JsonIsOneObject) {
    kl::Output out(true);
    out["count"] = 2;
    out.setText([](std::ostream& o) { o << "ignored\n"; });
    std::ostringstream text;
    out.print(text);
    EXPECT_EQ(kl::Json::parse(text.str())["count"], 2);
}

}  // namespace
