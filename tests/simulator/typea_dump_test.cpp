// Dump files: raw images and the text format, loaded into simulated cards
// through the catalogue and saved back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "server/families.h"
#include "cards/mifare_classic.h"
#include "cards/ultralight.h"

namespace {

using sim::Bytes;

class DumpFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("kovalink-dump-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string file(const std::string& name, const std::string& content) {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    sim::CardPtr make(const std::string& type, sim::CardOptions options, std::string* why) {
        return catalog_.make(type, options, why);
    }

    std::filesystem::path dir_;
    sim::CardCatalog catalog_ = sim::fullCatalog();
};

Bytes patternImage(std::size_t size) {
    Bytes image(size);
    for (std::size_t i = 0; i < size; ++i) image[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return image;
}

TEST_F(DumpFiles, RawClassicImageLoadsWithUidFromBlockZeroAndSavesUnchanged) {
    Bytes image = patternImage(1024);
    const Bytes block0 = {0x11, 0x22, 0x33, 0x44, 0x11 ^ 0x22 ^ 0x33 ^ 0x44, 0x08, 0x04, 0x00};
    std::copy(block0.begin(), block0.end(), image.begin());
    std::string why;
    auto card = make("mifare1k", {{"dump", file("card.mfd", std::string(image.begin(), image.end()))}}, &why);
    ASSERT_TRUE(card) << why;
    auto* classic = dynamic_cast<sim::MifareClassic*>(card.get());
    EXPECT_EQ(classic->uid(), (Bytes{0x11, 0x22, 0x33, 0x44}));
    EXPECT_EQ(classic->image(), image);
    ASSERT_TRUE(card->saveDump(path("out.bin"), &why)) << why;
    std::ifstream in(path("out.bin"), std::ios::binary);
    EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(in), {}), image);
}

TEST_F(DumpFiles, TextFormatRoundTripsAFourKCard) {
    Bytes image = patternImage(4096);
    const Bytes block0 = {0x11, 0x22, 0x33, 0x44, 0x11 ^ 0x22 ^ 0x33 ^ 0x44, 0x18, 0x02, 0x00};
    std::copy(block0.begin(), block0.end(), image.begin());
    std::string why;
    auto card = make("mifare4k", {{"dump", file("card.bin", std::string(image.begin(), image.end()))}}, &why);
    ASSERT_TRUE(card) << why;
    ASSERT_TRUE(card->saveDump(path("card.txt"), &why)) << why;
    std::ifstream in(path("card.txt"));
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text.rfind("+Sector: 0\n112233444418020", 0), 0u);
    EXPECT_NE(text.find("+Sector: 39\n"), std::string::npos);
    auto again = make("mifare4k", {{"dump", path("card.txt")}}, &why);
    ASSERT_TRUE(again) << why;
    EXPECT_EQ(dynamic_cast<sim::MifareClassic*>(again.get())->image(), image);
}

TEST_F(DumpFiles, BlockLinesWithoutSectorHeaders) {
    const Bytes image = patternImage(1024);
    std::string text;
    for (std::size_t b = 0; b < 64; ++b) text += sim::hex(image.data() + 16 * b, 16) + "\n";
    std::string why;
    auto card = make("mifare1k", {{"dump", file("card.eml", text)}}, &why);
    ASSERT_TRUE(card) << why;
    EXPECT_EQ(dynamic_cast<sim::MifareClassic*>(card.get())->image(), image);
    text.erase(text.rfind('\n', text.size() - 2) + 1);  // one block short
    EXPECT_FALSE(make("mifare1k", {{"dump", file("short.eml", text)}}, &why));
    EXPECT_EQ(why, path("short.eml") + ": 63 blocks; a Mifare Classic image has 20, 64, 128 or 256");
}

TEST_F(DumpFiles, WhatATextLeavesUnknownKeepsTheCardsContent) {
    std::string text = "+Sector: 0\n";
    for (int i = 0; i < 4; ++i) text += std::string(32, i == 3 ? 'F' : '1') + "\n";
    text += "+Sector: 1\nNo keys found (or dead sector)\n+Sector: 2\n";
    text += "--------------------------------\n" + std::string(32, '2') + "\n" + std::string(32, '2') + "\n" +
            "------------7F078840------------\n";
    std::string why;
    auto card = make("mifare1k", {{"uid", "01020304"}, {"dump", file("card.mct", text)}}, &why);
    ASSERT_TRUE(card) << why;
    const Bytes& image = dynamic_cast<sim::MifareClassic*>(card.get())->image();
    const Bytes blank = sim::MifareClassic(sim::MifareClassic::Size::k1K, {1, 2, 3, 4}).image();
    EXPECT_EQ(image[0], 0x11);
    EXPECT_TRUE(std::equal(image.begin() + 4 * 16, image.begin() + 8 * 16, blank.begin() + 4 * 16)) << "sector 1";
    EXPECT_EQ(image[9 * 16], 0x22);
    // The trailer's unknown keys stay the card's, its access bits come from the file.
    EXPECT_EQ(Bytes(image.begin() + 11 * 16, image.begin() + 12 * 16),
              (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x07, 0x88, 0x40, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    // Sectors 3-15 are not in the file.
    EXPECT_TRUE(std::equal(image.begin() + 12 * 16, image.end(), blank.begin() + 12 * 16));
}

TEST_F(DumpFiles, BadDumpsAreRefusedWithAReason) {
    std::string why;
    EXPECT_FALSE(make("mifare1k", {{"dump", file("short.mfd", std::string(1000, '\x01'))}}, &why));
    EXPECT_NE(why.find("1000 bytes"), std::string::npos) << why;
    EXPECT_FALSE(make("mifare4k", {{"dump", file("1k.mfd", std::string(1024, '\x01'))}}, &why));
    EXPECT_FALSE(make("mifare1k", {{"dump", file("bad.txt", "+Sector: 16\n")}}, &why));
    EXPECT_NE(why.find("sector"), std::string::npos) << why;
    EXPECT_FALSE(make("mifare1k", {{"dump", file("nothing.txt", "hello\n")}}, &why));
    EXPECT_EQ(why, path("nothing.txt") + ":1: 'he' is neither a byte in hex nor \"--\"");
    EXPECT_FALSE(make("mifare1k", {{"dump", file("odd.txt", "+Sector: 0\n0011\n")}}, &why));
    EXPECT_FALSE(make("mifare1k", {{"dump", path("missing.mfd")}}, &why));
    EXPECT_FALSE(make("mifare1k", {{"colour", "red"}}, &why));
    EXPECT_FALSE(make("ultralight", {{"uid", "0102030405"}}, &why));
}

TEST_F(DumpFiles, PageImagesOfTagsInBothFormats) {
    Bytes image = sim::UltralightCard(sim::UltralightCard::Model::ntag213, {4, 1, 2, 3, 4, 5, 6}).image();
    image[4 * 4] = 0x99;
    std::string why;
    auto tag = make("ntag213", {{"dump", file("tag.bin", std::string(image.begin(), image.end()))}}, &why);
    ASSERT_TRUE(tag) << why;
    EXPECT_EQ(dynamic_cast<sim::UltralightCard*>(tag.get())->uid(), (Bytes{4, 1, 2, 3, 4, 5, 6}));
    ASSERT_TRUE(tag->saveDump(path("tag.txt"), &why)) << why;
    auto again = make("ntag213", {{"dump", path("tag.txt")}}, &why);
    ASSERT_TRUE(again) << why;
    EXPECT_EQ(dynamic_cast<sim::UltralightCard*>(again.get())->image(), image);
    EXPECT_FALSE(make("ultralight", {{"dump", file("big.bin", std::string(180, '\0'))}}, &why));
}

}  // namespace
