// Scenario files as a careless user or an attacker writes them: each is
// refused with a message, never converted, never crashing.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "server/families.h"
#include "server/scenario.h"

namespace {

namespace fs = std::filesystem;

class ScenarioFile : public ::testing::Test {
protected:
    fs::path dir;
    sim::CardCatalog catalog = sim::fullCatalog();

    void SetUp() override {
        char pattern[] = "/tmp/kovalink-scenario-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    // Loads `text` as a scenario; the reason when refused, "" when loaded.
    std::string load(const std::string& text, sim::Scenario* out = nullptr) {
        const fs::path path = dir / "scenario.json";
        std::ofstream(path) << text;
        sim::Scenario scenario;
        std::string why;
        if (!sim::loadScenario(path.string(), catalog, &scenario, &why)) return why;
        if (out) *out = std::move(scenario);
        return "";
    }
};

TEST_F(ScenarioFile, AReaderAddressMustBeAWholeNumberThatFitsSixteenBits) {
    sim::Scenario scenario;
    ASSERT_EQ(load(R"({"reader":{"address":65535}})", &scenario), "");
    EXPECT_EQ(scenario.reader.address, 0xFFFF);
    for (const char* bad : {"5e5", "70000", "-1", "1.5", "\"7\"", "null"}) {
        const std::string why = load(std::string(R"({"reader":{"address":)") + bad + "}}");
        EXPECT_NE(why.find("reader.address must be a whole number from 0 to 65535"), std::string::npos)
            << bad << ": " << why;
    }
}

TEST_F(ScenarioFile, DeepNestingIsRefusedBeforeItIsParsed) {
    const std::string deep = R"({"cards":[{"type":"mifare1k","uid":)" + std::string(100000, '[') +
                             std::string(100000, ']') + "}]}";
    EXPECT_NE(load(deep).find("nested deeper than 16 levels"), std::string::npos);
    // Brackets inside strings do not count.
    EXPECT_EQ(load(R"({"reader":{"serial":"0102"},"cards":[{"type":"mifare1k","uid":"A1B2C3D4"}],"note":"[[[[[[[[[[[[[[[[[["})"), "");
}

TEST_F(ScenarioFile, ShapesOtherThanTheDocumentedOnesAreRefused) {
    EXPECT_NE(load("[1,2]").find("a scenario is a JSON object"), std::string::npos);
    EXPECT_NE(load(R"({"cards":{"type":"mifare1k"}})").find("cards must be an array"), std::string::npos);
    EXPECT_NE(load(R"({"cards":[5]})").find("each card must be an object"), std::string::npos);
    EXPECT_NE(load(R"({"reader":[]})").find("reader must be an object"), std::string::npos);
}

TEST_F(ScenarioFile, OnlyABoundedRegularFileIsRead) {
    sim::Scenario scenario;
    std::string why;
    const fs::path fifo = dir / "fifo.json";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(sim::loadScenario(fifo.string(), catalog, &scenario, &why));  // returns at once
    EXPECT_NE(why.find("not a regular file"), std::string::npos) << why;
    EXPECT_FALSE(sim::loadScenario("/dev/zero", catalog, &scenario, &why));
    EXPECT_NE(why.find("not a regular file"), std::string::npos) << why;

    const fs::path big = dir / "big.json";
    {
        std::ofstream out(big);
        out << "{\"note\":\"" << std::string(2 << 20, 'x') << "\"}";
    }
    EXPECT_FALSE(sim::loadScenario(big.string(), catalog, &scenario, &why));
    EXPECT_NE(why.find("a scenario file holds at most 1048576"), std::string::npos) << why;
}

// readersim --help calls the SR176 chip id 4 bits with default F: what the
// help shows is what the parser takes.
TEST(CardSpecs, TheSr176ChipIdIsTakenAsTheHelpDescribesIt) {
    const sim::CardCatalog catalog = sim::fullCatalog();
    std::string why;
    for (const char* good : {"F", "f", "0", "05", "0F"}) {
        EXPECT_TRUE(catalog.make("sr176", {{"chipid", good}}, &why)) << good << ": " << why;
    }
    for (const char* bad : {"10", "G", "", "FFF", "-1"}) {
        EXPECT_FALSE(catalog.make("sr176", {{"chipid", bad}}, &why)) << bad;
        EXPECT_EQ(why, "chipid of an SR176 is one hex digit, 0 to F") << bad;
    }
}

}  // namespace
