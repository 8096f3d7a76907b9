// Image files on disk: bounded reading (devices, FIFOs and huge files are
// refused unread), the format told by content, and every format written and
// read back.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "card_image.h"

namespace {

namespace image = common::image;
using common::Bytes;

class ImageFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("kovalink-image-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    std::string file(const std::string& name, const std::string& content) const {
        std::ofstream(path(name), std::ios::binary) << content;
        return path(name);
    }
    image::Error refused(const std::string& file_path) const {
        image::Image out;
        image::Error error;
        EXPECT_FALSE(image::loadClassic(file_path, &out, &error)) << file_path;
        return error;
    }

    std::filesystem::path dir_;
};

// A 4K card whose every block holds its own number; every fifth block unread.
image::Image patternCard() {
    Bytes bytes(4096);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i / 16);
    image::Image card = image::Image::of(bytes);
    for (std::size_t b = 3; b < 256; b += 5) {
        for (std::size_t i = 0; i < 16; ++i) card.known[b * 16 + i] = false;
    }
    return card;
}

TEST_F(ImageFile, NothingButRegularFilesOfBoundedSizeIsRead) {
    const auto started = std::chrono::steady_clock::now();
    image::Error error = refused("/dev/zero");
    EXPECT_EQ(error.text(), "/dev/zero: not a regular file (a device, FIFO or socket)");

    // No writer will ever come: opening must not wait for one.
    const std::string fifo = path("fifo.mfd");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    error = refused(fifo);
    EXPECT_EQ(error.message, "not a regular file (a device, FIFO or socket)");

    // 2 GiB of nothing, made sparse: refused from its size alone.
    const std::string huge = file("huge.mfd", "");
    ASSERT_EQ(::truncate(huge.c_str(), 2LL << 30), 0);
    error = refused(huge);
    EXPECT_EQ(error.message, "2147483648 bytes: an image file holds at most 1048576");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));

    // One byte over the limit is over it; the limit itself is a (bad) text file.
    error = refused(file("big.txt", std::string(image::kMaxFileSize + 1, '0')));
    EXPECT_EQ(error.message, "1048577 bytes: an image file holds at most 1048576");
    std::string content;
    EXPECT_TRUE(image::readFile(file("limit.txt", std::string(image::kMaxFileSize, '0')), &content, &error));
    EXPECT_EQ(content.size(), image::kMaxFileSize);

    EXPECT_EQ(refused(dir_.string()).message, "a folder, not an image file");
    EXPECT_EQ(refused(path("missing.mfd")).message, "cannot open the file: No such file or directory");
}

// A symlink planted under the dump's name (or a leftover temporary name) is
// replaced by the new file; the file it points to is never written.
TEST_F(ImageFile, SavingReplacesASymlinkInsteadOfWritingThroughIt) {
    const std::string victim = file("victim", "untouched");
    std::filesystem::create_symlink(victim, path("card.mfd"));
    std::filesystem::create_symlink(victim, path("card.mfd.tmp"));
    image::Error error;
    ASSERT_TRUE(image::saveRaw(path("card.mfd"), image::Image::of(Bytes(1024, 0x5A)), &error)) << error.text();
    EXPECT_FALSE(std::filesystem::is_symlink(path("card.mfd")));
    EXPECT_EQ(std::filesystem::file_size(path("card.mfd")), 1024u);
    std::ifstream in(victim);
    std::string text;
    in >> text;
    EXPECT_EQ(text, "untouched");
    // Nothing is left beside it.
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir_)) ++entries;
    EXPECT_EQ(entries, 3);
}

TEST_F(ImageFile, SavingIntoAMissingFolderSaysWhy) {
    image::Error error;
    EXPECT_FALSE(image::saveRaw(path("no/card.mfd"), image::Image::of(Bytes(1024, 0)), &error));
    EXPECT_EQ(error.text(), path("no/card.mfd") + ": cannot create a file beside " + path("no/card.mfd") +
                                ": No such file or directory");
}

TEST_F(ImageFile, EveryFormatRoundTripsA4KCardWithUnreadBlocks) {
    const image::Image card = patternCard();
    for (const char* name : {"card.mfd", "card.bin", "card.txt", "card.mct", "card.eml", "card.json"}) {
        SCOPED_TRACE(name);
        const std::string p = path(name);
        image::Error error;
        ASSERT_TRUE(image::saveClassic(p, card, &error)) << error.text();
        image::Image back;
        ASSERT_TRUE(image::loadClassic(p, &back, &error)) << error.text();
        ASSERT_EQ(back.bytes.size(), 4096u);
        EXPECT_EQ(back.path, p);
        EXPECT_EQ(back.format == image::Format::raw, image::formatOfPath(p) == image::Format::raw);
        EXPECT_EQ(back.format, image::formatOfPath(p));
        for (std::size_t i = 0; i < 4096; ++i) {
            // Raw images hold zeros there, and name them in their key file.
            ASSERT_EQ(back.known[i], card.known[i]) << i;
            ASSERT_EQ(back.bytes[i], card.known[i] ? card.bytes[i] : 0) << i;
        }
    }
}

TEST_F(ImageFile, TheFormatIsToldByContentNotByName) {
    std::string eml;
    for (int b = 0; b < 64; ++b) eml += "000102030405060708090A0B0C0D0E0F\n";
    image::Image out;
    image::Error error;
    ASSERT_TRUE(image::loadClassic(file("lines.mfd", eml), &out, &error)) << error.text();
    EXPECT_EQ(out.format, image::Format::blockLines);
    // A raw image that happens to be printable is raw, at a card's size.
    ASSERT_TRUE(image::loadClassic(file("ascii.txt", std::string(1024, '0')), &out, &error)) << error.text();
    EXPECT_EQ(out.format, image::Format::raw);
    EXPECT_EQ(out.bytes[0], '0');
    // Block 0 may begin with '{' (a UID byte 7B): still raw.
    ASSERT_TRUE(image::loadClassic(file("brace.bin", "{" + std::string(1023, '\x01')), &out, &error));
    EXPECT_EQ(out.format, image::Format::raw);
}

TEST_F(ImageFile, MalformedFilesAreRefusedWithFileLineAndReason) {
    std::string fiveLines = "+Sector: 0\n";
    for (int b = 0; b < 5; ++b) fiveLines += std::string(32, '0') + "\n";
    const std::pair<std::string, std::string> bad[] = {
        {"short.txt", "001122\n"},
        {"letters.txt", "this is not a dump\n"},
        {"header.txt", "+Sector: 40\n"},
        {"odd.bin", std::string("\x01\x02\x03", 3)},
        {"blank.txt", "\n\n"},
        {"five.txt", fiveLines},
    };
    const std::string expected[] = {
        "short.txt:1: 3 bytes where a line holds 16",
        "letters.txt:1: 'th' is neither a byte in hex nor \"--\"",
        "header.txt:1: a sector header reads '+Sector: N' with N from 0 to 39",
        "odd.bin: 3 bytes; a raw Mifare Classic image has 320, 1024, 2048 or 4096",
        "blank.txt: no lines of hex",
        "five.txt:6: sector 0 has only 4 blocks",
    };
    for (std::size_t i = 0; i < std::size(bad); ++i) {
        const image::Error error = refused(file(bad[i].first, bad[i].second));
        EXPECT_EQ(error.text(), path(expected[i])) << bad[i].first;
    }
    std::string lines;
    for (int b = 0; b < 63; ++b) lines += std::string(32, '0') + "\n";
    EXPECT_EQ(refused(file("63.eml", lines)).text(), path("63.eml: 63 blocks; a Mifare Classic image has 20, 64, 128 or 256"));
}

TEST_F(ImageFile, ImagesFitOnlyTheirCard) {
    image::Image out;
    image::Error error;
    ASSERT_TRUE(image::loadClassic(file("4k.mfd", std::string(4096, '\x01')), &out, &error));
    EXPECT_FALSE(image::fitClassic(&out, common::mifare::k1K, &error));
    EXPECT_EQ(error.text(), path("4k.mfd: the image holds 256 blocks, the card 64"));
    EXPECT_TRUE(image::fitClassic(&out, common::mifare::k4K, &error));
}

TEST_F(ImageFile, PageImagesRawOrOnePagePerLine) {
    Bytes pages(180);
    for (std::size_t i = 0; i < pages.size(); ++i) pages[i] = static_cast<std::uint8_t>(i);
    image::Image tag = image::Image::of(pages);
    image::Error error;
    for (const char* name : {"tag.bin", "tag.txt", "tag.eml"}) {
        ASSERT_TRUE(image::savePages(path(name), tag, &error)) << error.text();
        image::Image back;
        ASSERT_TRUE(image::loadPages(path(name), 180, &back, &error)) << name << ": " << error.text();
        EXPECT_EQ(back.bytes, pages) << name;
    }
    std::ifstream text(path("tag.txt"));
    std::string first;
    std::getline(text, first);
    EXPECT_EQ(first, "00010203");
    image::Image back;
    EXPECT_FALSE(image::loadPages(path("tag.bin"), 168, &back, &error));
    EXPECT_EQ(error.text(), path("tag.bin: the image holds 180 bytes, the card 168"));
    EXPECT_FALSE(image::loadPages(file("bad.txt", "00010203\n0001020304\n"), 180, &back, &error));
    EXPECT_EQ(error.text(), path("bad.txt:2: 5 bytes where a line holds 4"));
    EXPECT_FALSE(image::loadPages("/dev/zero", 180, &back, &error));
}

TEST_F(ImageFile, RawImageKeepsUnknownKeysAndUnreadBlocksInItsKeyFile) {
    // A 1K image in which key B of sector 2, key A of sector 3 and all of sector 4 are unknown.
    image::Image dump = image::Image::of(Bytes(1024, 0x11));
    const auto unknown = [&](std::size_t offset, std::size_t length) {
        std::fill_n(dump.known.begin() + static_cast<std::ptrdiff_t>(offset), length, false);
    };
    unknown(11 * 16 + 10, 6);
    unknown(15 * 16, 6);
    unknown(16 * 16, 64);
    image::Error error;
    ASSERT_TRUE(image::saveClassic(path("card.mfd"), dump, &error)) << error.text();
    std::ifstream keys(path("card.mfd.keys"));
    std::string all((std::istreambuf_iterator<char>(keys)), std::istreambuf_iterator<char>());
    EXPECT_NE(all.find("\n2 111111111111 ------------\n"), std::string::npos) << all;
    EXPECT_NE(all.find("\n3 ------------ 111111111111\n"), std::string::npos) << all;
    EXPECT_NE(all.find("\n4 ------------ ------------ unread 16 17 18 19\n"), std::string::npos) << all;
    image::Image back;
    ASSERT_TRUE(image::loadClassic(path("card.mfd"), &back, &error)) << error.text();
    EXPECT_EQ(back.known, dump.known);
    EXPECT_FALSE(back.knows(11 * 16 + 10, 1));
    EXPECT_TRUE(back.knows(11 * 16 + 6, 4));
    // A complete image takes its stale key file away.
    ASSERT_TRUE(image::saveClassic(path("card.mfd"), image::Image::of(Bytes(1024, 0x22)), &error));
    EXPECT_FALSE(std::filesystem::exists(path("card.mfd.keys")));
    // A key file that does not fit is refused with its line.
    file("bad.mfd", std::string(1024, '\x22'));
    file("bad.mfd.keys", "# keys\n16 FFFFFFFFFFFF FFFFFFFFFFFF\n");
    EXPECT_EQ(refused(path("bad.mfd")).text(), path("bad.mfd.keys:2: '16' is not a sector of this 16-sector image"));
    file("bad.mfd.keys", "1 FFFFFFFFFFFF FFFF\n");
    EXPECT_EQ(refused(path("bad.mfd")).text(), path("bad.mfd.keys:1: a key is 12 hex digits, or 12 dashes when it is not known"));
    file("bad.mfd.keys", "1 FFFFFFFFFFFF FFFFFFFFFFFF unread 8\n");
    EXPECT_EQ(refused(path("bad.mfd")).text(), path("bad.mfd.keys:1: '8' is not a block of sector 1"));
}

TEST_F(ImageFile, WritingReplacesTheFileOnlyWhenComplete) {
    const std::string target = file("keep.txt", "old image\n");
    image::Error error;
    // A folder that cannot take the temporary file: the old file stays as it was.
    EXPECT_FALSE(image::writeFile(path("missing/keep.txt"), "new", &error));
    EXPECT_NE(error.text().find("cannot create a file beside it"), std::string::npos) << error.text();
    ASSERT_TRUE(image::writeFile(target, "new image\n", &error)) << error.text();
    std::ifstream in(target);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "new image");
    // No temporary file is left behind.
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(path(""))) ++entries;
    EXPECT_EQ(entries, 1u);
}

}  // namespace
