// The reader model outside the socket: dispatch, flash persistence and the
// type A anticollision helpers.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "cards/type_a.h"
#include "server/families.h"

namespace {

using sim::Bytes;

// The bare type A layer, without any memory behind it.
class PlainTypeA : public sim::TypeACard {
public:
    using TypeACard::TypeACard;
    std::string kind() const override { return "plain-a"; }
};

sim::Reply run(sim::Reader& reader, std::uint8_t code, Bytes payload) {
    static const sim::Firmware firmware = sim::fullFirmware();
    return firmware.dispatch(reader, sim::Command{0, code, std::move(payload)});
}

TEST(SimReader, UnknownCommandsAndWrongLengthsAreReaderErrors) {
    sim::Reader reader;
    EXPECT_EQ(run(reader, 0xF7, {}).status, sim::kUnknownCommand);
    EXPECT_EQ(run(reader, 0x1D, {}).status, sim::kBadLength);
    EXPECT_EQ(run(reader, 0x13, {0x01}).status, sim::kBadLength);
    EXPECT_EQ(run(reader, 0x3A, {'Q'}).status, sim::kBadParameter);
}

TEST(SimReader, FlashSurvivesARestart) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("kovalink-flash-" + std::to_string(::getpid()))).string();
    std::remove(path.c_str());
    {
        sim::ReaderConfig config;
        config.flash_path = path;
        sim::Reader reader(config);
        EXPECT_EQ(run(reader, 0x5B, {0x00, 0x00, 0x00, 0x10, 0x02, 0xCA, 0xFE}).status, sim::kOk);
    }
    sim::ReaderConfig config;
    config.flash_path = path;
    sim::Reader restarted(config);
    const sim::Reply reply = run(restarted, 0x5A, {0x00, 0x00, 0x00, 0x10, 0x03});
    EXPECT_EQ(reply.data, (Bytes{0xCA, 0xFE, 0xFF}));
    std::remove(path.c_str());
}

class FlashFile : public ::testing::Test {
protected:
    std::filesystem::path dir;
    void SetUp() override {
        char pattern[] = "/tmp/kovalink-flash-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string attach(const std::filesystem::path& path) {
        sim::ReaderConfig config;
        config.flash_path = path.string();
        sim::Reader reader(config);
        return reader.flash_problem;
    }
};

TEST_F(FlashFile, AFlashFileThatCannotBeUsedIsReportedAtStart) {
    EXPECT_EQ(attach(dir / "missing" / "reader0.flash"),
              "cannot create flash file " + (dir / "missing" / "reader0.flash").string() + ": cannot create a file beside " +
                  (dir / "missing" / "reader0.flash").string() + ": No such file or directory");
    std::ofstream(dir / "short.flash") << "only a few bytes";
    EXPECT_EQ(attach(dir / "short.flash"), "flash file " + (dir / "short.flash").string() +
                                               " holds 16 bytes, not 65536 (truncated?); remove it or name another "
                                               "with --flash");
    EXPECT_NE(attach("/dev/zero").find("not a regular file"), std::string::npos);
    EXPECT_EQ(attach(dir / "new.flash"), "");
    EXPECT_EQ(std::filesystem::file_size(dir / "new.flash"), 65536u);
}

// A symlink planted where the flash file goes is replaced, never written through.
TEST_F(FlashFile, SavingNeverFollowsASymlink) {
    const std::filesystem::path victim = dir / "victim";
    std::ofstream(victim) << "keep";
    std::filesystem::create_symlink(victim, dir / "reader0.flash.tmp");
    sim::ReaderConfig config;
    config.flash_path = (dir / "reader0.flash").string();
    sim::Reader reader(config);
    ASSERT_EQ(reader.flash_problem, "");
    std::filesystem::create_symlink(victim, dir / "other.flash");
    std::filesystem::rename(dir / "other.flash", dir / "reader0.flash");  // the flash file itself is now a symlink
    EXPECT_EQ(run(reader, 0x5B, {0x00, 0x00, 0x00, 0x00, 0x01, 0x55}).status, sim::kOk);
    EXPECT_EQ(std::filesystem::file_size(victim), 4u);
    EXPECT_FALSE(std::filesystem::is_symlink(dir / "reader0.flash"));
}

TEST_F(FlashFile, AWriteThatCannotBeSavedFailsAndLeavesTheMemoryAsTheFileHasIt) {
    const std::filesystem::path folder = dir / "sub";
    std::filesystem::create_directory(folder);
    sim::ReaderConfig config;
    config.flash_path = (folder / "reader0.flash").string();
    sim::Reader reader(config);
    ASSERT_EQ(reader.flash_problem, "");
    std::filesystem::remove_all(folder);  // the place to save is gone
    EXPECT_EQ(run(reader, 0x5B, {0x00, 0x00, 0x00, 0x00, 0x02, 0xCA, 0xFE}).status, sim::kFlashNotSaved);
    EXPECT_EQ(run(reader, 0x5A, {0x00, 0x00, 0x00, 0x00, 0x02}).data, (Bytes{0xFF, 0xFF}));
}

TEST(SimReader, FlashReadsLongerThanAReplyCanCarryAreRefused) {
    sim::Reader reader;
    EXPECT_EQ(run(reader, 0x5A, {0x00, 0x00, 0x00, 0x00, 253}).status, sim::kBadParameter);
    EXPECT_EQ(run(reader, 0x5A, {0x00, 0x00, 0x00, 0x00, 252}).data.size(), 252u);
}

TEST(SimReader, AntennaOffPowersCardsDown) {
    sim::Reader reader;
    auto card = std::make_shared<PlainTypeA>(Bytes{1, 2, 3, 4}, 0x0004, 0x08);
    reader.field.place(card);
    ASSERT_TRUE(card->request(false));
    card->halt();
    EXPECT_EQ(run(reader, 0x05, {0x00}).status, sim::kOk);
    EXPECT_EQ(card->state(), sim::TypeACard::State::idle);
    EXPECT_TRUE(reader.reachable<sim::TypeACard>(sim::kFamilyTypeA).empty());
    run(reader, 0x05, {0x01});
    EXPECT_EQ(reader.reachable<sim::TypeACard>(sim::kFamilyTypeA).size(), 1u);
    EXPECT_TRUE(reader.reachable<sim::TypeACard>(sim::kFamilyIso15693).empty());
}

TEST(SimTypeA, HaltedCardsWakeOnlyForWakeUpAndAnticollisionPicksOne) {
    PlainTypeA low(Bytes{0x10, 0, 0, 1}, 0x0004, 0x08);
    PlainTypeA high(Bytes{0x90, 0, 0, 2}, 0x0004, 0x08);
    std::vector<sim::TypeACard*> field{&low, &high};
    EXPECT_EQ(sim::requestAll(field, false).size(), 2u);
    sim::TypeACard* chosen = sim::anticollide(field);
    ASSERT_EQ(chosen, &high);
    ASSERT_EQ(sim::selectByUid(field, high.uid()), &high);
    EXPECT_EQ(low.state(), sim::TypeACard::State::idle);
    high.halt();
    EXPECT_TRUE(sim::requestAll({&high}, false).empty());
    EXPECT_EQ(sim::requestAll({&high}, true).size(), 1u);
    EXPECT_EQ(sim::selectByUid(field, Bytes{9, 9, 9, 9}), nullptr);
}

}  // namespace
