// Card image files: what the other tools write is read back, what is unread
// stays unread, malformed files are refused.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "commands/mifare/dump_file.h"
#include "core/errors.h"

namespace {

using kl::Bytes;
using kl::mifare::Image;

class CliDumpFile : public ::testing::Test {
protected:
    std::string path(const std::string& name) {
        const std::string p = ::testing::TempDir() + "kl_dump_" + std::to_string(::getpid()) + "_" + name;
        made_.push_back(p);
        return p;
    }
    void write(const std::string& p, const std::string& content) { std::ofstream(p, std::ios::binary) << content; }
    ~CliDumpFile() override {
        for (const std::string& p : made_) std::remove(p.c_str());
    }

    static Image card(unsigned blocks) {
        Image image;
        for (unsigned b = 0; b < blocks; ++b) {
            image.blocks.push_back(Bytes(16, static_cast<std::uint8_t>(b)));
            image.known.push_back(b % 5 != 3);
        }
        return image;
    }

private:
    std::vector<std::string> made_;
};

TEST_F(CliDumpFile, EveryFormatRoundTripsA4KCard) {
    const Image image = card(256);
    for (const char* name : {"card.mfd", "card.txt", "card.mct", "card.eml"}) {
        const std::string p = path(name);
        kl::mifare::saveDump(p, image);
        const Image back = kl::mifare::loadDump(p);
        ASSERT_EQ(back.blocks.size(), 256u) << name;
        for (unsigned b = 0; b < 256; ++b) {
            if (image.known[b]) {
                EXPECT_EQ(back.blocks[b], image.blocks[b]) << name << " block " << b;
            }
        }
        // Raw images cannot mark unread blocks; the text formats keep them unread.
        const bool text = std::string(name) != "card.mfd";
        EXPECT_EQ(back.known[3], !text) << name;
        EXPECT_EQ(back.text, text) << name;
    }
}

TEST_F(CliDumpFile, SectorHeadersPlaceBlocksAndMayLeaveSectorsOut) {
    const std::string p = path("partial.txt");
    write(p, "+Sector: 1\n00112233445566778899AABBCCDDEEFF\n--------------------------------\n"
             "\n+Sector: 33\r\n" + std::string(32, 'A') + "\n");
    const Image image = kl::mifare::loadDump(p);
    ASSERT_EQ(image.blocks.size(), 145u);  // sector 33 starts at block 144 on a 4K card
    EXPECT_TRUE(image.known[4]);
    EXPECT_EQ(image.blocks[4][1], 0x11);
    EXPECT_FALSE(image.known[5]);
    EXPECT_FALSE(image.known[0]);
    EXPECT_TRUE(image.known[144]);
}

TEST_F(CliDumpFile, ARawImageThatLooksLikeTextIsRaw) {
    const std::string p = path("ascii.bin");
    write(p, std::string(1024, '0'));
    const Image image = kl::mifare::loadDump(p);
    ASSERT_EQ(image.blocks.size(), 64u);
    EXPECT_EQ(image.blocks[0][0], '0');
}

TEST_F(CliDumpFile, MalformedFilesAreUsageErrors) {
    const std::pair<const char*, const char*> bad[] = {
        {"short.txt", "001122\n"},
        {"letters.txt", "this is not a dump\n"},
        {"header.txt", "+Sector: 40\n"},
        {"odd.bin", std::string("\x01\x02\x03", 3).c_str()},
        {"empty.txt", "\n\n"},
    };
    for (const auto& [name, content] : bad) {
        const std::string p = path(name);
        write(p, content);
        try {
            kl::mifare::loadDump(p);
            ADD_FAILURE() << name << " was accepted";
        } catch (const kl::Failure& f) {
            EXPECT_EQ(f.code(), kl::kExitUsage) << name << ": " << f.what();
        }
    }
    try {
        kl::mifare::loadDump(path("missing.mfd"));
        ADD_FAILURE() << "a missing file was accepted";
    } catch (const kl::Failure& f) {
        EXPECT_EQ(f.code(), kl::kExitFailure);
    }
}

}  // namespace
