// The command table names library functions: each entry must be an export
// of the library, listed once, so the simulator's registration and the
// trace's names cannot drift from what the library sends.
#include "kv_commands.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

namespace {

std::set<std::string> exportedNames() {
    std::ifstream list(KOVALINK_SOURCE_DIR "/reader/exports.txt");
    std::set<std::string> names;
    for (std::string line; std::getline(list, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string ordinal, name;
        fields >> ordinal >> name;
        names.insert(name);
    }
    return names;
}

TEST(CommandTable, EveryEntryIsAnExportListedOnce) {
    const std::set<std::string> exports = exportedNames();
    ASSERT_EQ(exports.size(), 164u);
    std::set<std::string> seen;
    for (const kv::ReaderCommand& command : kv::kReaderCommands) {
        EXPECT_EQ(exports.count(command.name), 1u) << command.name;
        EXPECT_TRUE(seen.insert(command.name).second) << command.name << " twice";
    }
}

TEST(CommandTable, CodesOfTheWorkedExamples) {
    EXPECT_EQ(kv::cmd::rf_beep.code, 0x1D);
    EXPECT_EQ(kv::cmd::rf_get_model.code, 0x16);
    EXPECT_EQ(kv::cmd::rf_init_type.code, 0x3A);
    EXPECT_EQ(std::string(kv::cmd::rf_beep.name), "rf_beep");
    EXPECT_EQ(kv::cmd::rf_beep.family, kv::CommandFamily::reader);
}

// Within one family a code means one command; only rf_antenna_sta and
// rf_change_wait_time share theirs (the payload length tells them apart).
TEST(CommandTable, ACodeIsSharedOnlyAcrossFamilies) {
    std::map<std::pair<kv::CommandFamily, int>, std::string> owners;
    for (const kv::ReaderCommand& command : kv::kReaderCommands) {
        const auto [it, fresh] = owners.emplace(std::make_pair(command.family, int{command.code}), command.name);
        if (fresh) continue;
        EXPECT_EQ(it->second + "/" + command.name, "rf_antenna_sta/rf_change_wait_time");
    }
}

}  // namespace
