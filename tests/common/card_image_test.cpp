// The parsers and writers of the image formats, on text in memory: what the
// other tools write is read, what breaks a format is refused with the line
// and the reason.
#include <gtest/gtest.h>

#include <string>

#include "card_image.h"

namespace {

namespace image = common::image;
using common::Bytes;

const std::string kBlock = "00112233445566778899AABBCCDDEEFF";
const std::string kTrailer = "FFFFFFFFFFFFFF078069FFFFFFFFFFFF";

// "+Sector: s" and its blocks, the trailer last.
std::string sector(unsigned s, const std::string& block = kBlock, const std::string& trailer = kTrailer) {
    std::string text = "+Sector: " + std::to_string(s) + "\n";
    for (unsigned b = 0; b + 1 < (s < 32 ? 4u : 16u); ++b) text += block + "\n";
    return text + trailer + "\n";
}

image::Error refusedSectors(const std::string& text) {
    image::Image out;
    image::Error error;
    EXPECT_FALSE(image::parseSectors(text, &out, &error)) << text;
    return error;
}

TEST(SectorText, DashesMarkUnknownBytesAsTheyStand) {
    std::string text = sector(0) + sector(1, std::string(32, '-'), "------------FF078069------------");
    image::Image out;
    image::Error error;
    ASSERT_TRUE(image::parseSectors(text, &out, &error)) << error.text();
    EXPECT_EQ(out.format, image::Format::sectors);
    ASSERT_EQ(out.bytes.size(), 320u);  // sectors 0 and 1 fit a Mini
    EXPECT_EQ(out.bytes[1], 0x11);
    EXPECT_TRUE(out.knows(0, 16));
    EXPECT_FALSE(out.knows(4 * 16, 1));
    EXPECT_EQ(out.bytes[4 * 16], 0x00);
    // Trailer of sector 1: keys unknown, access bits known.
    EXPECT_FALSE(out.knows(7 * 16, 6));
    EXPECT_TRUE(out.knows(7 * 16 + 6, 4));
    EXPECT_EQ(out.bytes[7 * 16 + 7], 0x07);
    EXPECT_FALSE(out.knows(7 * 16 + 10, 1));
    // Sectors left out are unknown.
    EXPECT_FALSE(out.knows(8 * 16, 1));
    EXPECT_EQ(out.sector_lines[1], 6);
    EXPECT_EQ(out.sector_lines[2], 0);
}

TEST(SectorText, LowerCaseCarriageReturnsBlankLinesAndSpacesBetweenBytes) {
    std::string text = "\r\n+Sector:  2\r\n";
    for (int b = 0; b < 3; ++b) text += "00 11 22 33 44 55 66 77 88 99 aa bb cc dd ee ff\r\n";
    text += "\r\n" + kTrailer + "\r\n";
    image::Image out;
    image::Error error;
    ASSERT_TRUE(image::parseSectors(text, &out, &error)) << error.text();
    EXPECT_EQ(out.bytes[8 * 16 + 10], 0xAA);
    EXPECT_TRUE(out.knows(8 * 16, 64));
}

TEST(SectorText, LargeSectorsHoldSixteenBlocks) {
    image::Image out;
    image::Error error;
    ASSERT_TRUE(image::parseSectors(sector(32) + sector(39), &out, &error)) << error.text();
    ASSERT_EQ(out.bytes.size(), 4096u);
    EXPECT_TRUE(out.knows(128 * 16, 16 * 16));
    EXPECT_EQ(out.bytes[143 * 16 + 7], 0x07);
    EXPECT_TRUE(out.knows(240 * 16, 256));
    EXPECT_FALSE(out.knows(144 * 16, 1));
}

TEST(SectorText, ANoteStandsForAnUnreadSector) {
    image::Image out;
    image::Error error;
    ASSERT_TRUE(image::parseSectors(sector(0) + "+Sector: 1\nNo keys found (or dead sector)\n" + sector(2), &out, &error))
        << error.text();
    EXPECT_FALSE(out.knows(4 * 16, 1));
    EXPECT_TRUE(out.knows(8 * 16, 64));
    // A note and then blocks is no sector at all.
    error = refusedSectors("+Sector: 1\nNo keys found (or dead sector)\n" + kBlock + "\n");
    EXPECT_EQ(error.line, 3);
    EXPECT_EQ(error.message, "sector 1 was marked unread on line 2; no blocks may follow");
}

TEST(SectorText, WrongBlockCountsAreRefusedWhereTheyShow) {
    // Five lines in a sector of four: the fifth is the fault.
    image::Error error = refusedSectors(sector(1) + kBlock + "\n" + sector(2));
    EXPECT_EQ(error.line, 6);
    EXPECT_EQ(error.message, "sector 1 has only 4 blocks");
    // Three lines: the sector's header is the place.
    error = refusedSectors(sector(0) + "+Sector: 1\n" + kBlock + "\n" + kBlock + "\n" + kTrailer + "\n" + sector(2));
    EXPECT_EQ(error.line, 6);
    EXPECT_EQ(error.message, "sector 1 has 3 of its 4 blocks");
    error = refusedSectors("+Sector: 32\n" + kBlock + "\n");
    EXPECT_EQ(error.line, 1);
    EXPECT_EQ(error.message, "sector 32 has 1 of its 16 blocks");
}

TEST(SectorText, MalformedLinesAreRefusedWithTheirNumber) {
    struct Case {
        std::string text;
        int line;
        std::string message;
    };
    const Case cases[] = {
        {"+Sector: 40\n", 1, "a sector header reads '+Sector: N' with N from 0 to 39"},
        {"+Sektor: 1\n", 1, "a sector header reads '+Sector: N' with N from 0 to 39"},
        {"+Sector: -1\n", 1, "a sector header reads '+Sector: N' with N from 0 to 39"},
        {kBlock + "\n" + sector(0), 1, "a line before the first '+Sector: N' header"},
        {sector(0) + sector(0), 6, "sector 0 appears twice (first on line 1)"},
        {"+Sector: 0\n" + kBlock + "00\n", 2, "17 bytes where a line holds 16"},
        {"+Sector: 0\n0011223344556677889\n", 2, "'9' at the end of the line is half a byte"},
        {"+Sector: 0\n" + kBlock + "\n-F112233445566778899AABBCCDDEEFF\n", 3,
         "'-F' is neither a byte in hex nor \"--\""},
        {"+Sector: 0\n" + kBlock + "\n0 112233445566778899AABBCCDDEEFF\n", 3, "'0 ' is neither a byte in hex nor \"--\""},
        {"+Sector: 0\n00112233445566778899AABBCCDDEEFG\n", 2, "'FG' is neither a byte in hex nor \"--\""},
    };
    for (const Case& c : cases) {
        const image::Error error = refusedSectors(c.text);
        EXPECT_EQ(error.line, c.line) << c.text;
        EXPECT_EQ(error.message, c.message) << c.text;
    }
}

TEST(SectorText, FitsACardThatHoldsItsSectors) {
    image::Image out;
    image::Error error;
    ASSERT_TRUE(image::parseSectors("\n" + sector(1) + sector(33), &out, &error)) << error.text();
    out.path = "card.txt";
    image::Image for_4k = out;
    ASSERT_TRUE(image::fitClassic(&for_4k, common::mifare::k4K, &error)) << error.text();
    EXPECT_EQ(for_4k.bytes.size(), 4096u);
    ASSERT_FALSE(image::fitClassic(&out, common::mifare::k1K, &error));
    EXPECT_EQ(error.text(), "card.txt:7: sector 33 lies beyond the 16 sectors of this card");
    image::Image small;
    ASSERT_TRUE(image::parseSectors(sector(3), &small, &error));
    ASSERT_TRUE(image::fitClassic(&small, common::mifare::k4K, &error)) << error.text();
    EXPECT_EQ(small.bytes.size(), 4096u);
    EXPECT_FALSE(small.knows(0, 1));
    EXPECT_TRUE(small.knows(12 * 16, 64));
}

TEST(SectorText, WriterMarksUnknownBytesWithDashes) {
    image::Image card = image::Image::of(Bytes(1024, 0x5A));
    for (int i = 0; i < 6; ++i) card.known[7 * 16 + i] = false;
    const std::string text = image::sectorsText(card);
    EXPECT_EQ(text.rfind("+Sector: 0\n5A5A5A5A5A5A5A5A5A5A5A5A5A5A5A5A\n", 0), 0u);
    EXPECT_NE(text.find("+Sector: 1\n5A5A5A5A5A5A5A5A5A5A5A5A5A5A5A5A\n"), std::string::npos);
    EXPECT_NE(text.find("\n------------5A5A5A5A5A5A5A5A5A5A\n+Sector: 2\n"), std::string::npos);
    EXPECT_NE(text.find("+Sector: 15\n"), std::string::npos);
    EXPECT_EQ(text.find("+Sector: 16"), std::string::npos);
    image::Image back;
    image::Error error;
    ASSERT_TRUE(image::parseSectors(text, &back, &error)) << error.text();
    EXPECT_EQ(back.bytes.size(), 1024u);
    EXPECT_EQ(back.known, card.known);
}

TEST(BlockLines, OneUnitPerLine) {
    std::string text;
    for (int b = 0; b < 64; ++b) text += kBlock + "\n";
    image::Image out;
    image::Error error;
    ASSERT_TRUE(image::parseBlockLines(text, 16, &out, &error)) << error.text();
    EXPECT_EQ(out.bytes.size(), 1024u);
    ASSERT_TRUE(image::parseBlockLines("04A1B2C3\n--------\n", 4, &out, &error)) << error.text();
    EXPECT_EQ(out.bytes, (Bytes{0x04, 0xA1, 0xB2, 0xC3, 0, 0, 0, 0}));
    EXPECT_FALSE(out.knows(4, 1));
    EXPECT_FALSE(image::parseBlockLines("04A1B2C3\n04A1B2C3D4E5F6A7\n", 4, &out, &error));
    EXPECT_EQ(error.line, 2);
    EXPECT_EQ(error.message, "8 bytes where a line holds 4");
    EXPECT_FALSE(image::parseBlockLines("\n \n", 4, &out, &error));
    EXPECT_EQ(error.message, "no lines of hex");
    EXPECT_EQ(image::blockLinesText(image::Image::of({1, 2, 3, 4, 5, 6, 7, 8}), 4), "01020304\n05060708\n");
}

// A dump as the other tool writes it, with the sector keys that are only
// written, never read.
std::string proxmarkJson(unsigned blocks, const std::string& block5 = "\"" + kBlock + "\"") {
    std::string text = "{\n  \"Created\": \"proxmark3\",\n  \"FileType\": \"mfcard\",\n  \"Card\": {\n"
                       "    \"UID\": \"A1B2C3D4\",\n    \"ATQA\": \"0400\",\n    \"SAK\": \"08\"\n  },\n"
                       "  \"blocks\": {\n";
    for (unsigned b = 0; b < blocks; ++b) {
        const std::string value = b == 5 ? block5 : "\"" + ((b + 1) % 4 == 0 ? kTrailer : kBlock) + "\"";
        text += "    \"" + std::to_string(b) + "\": " + value + (b + 1 < blocks ? ",\n" : "\n");
    }
    return text + "  },\n  \"SectorKeys\": {\n    \"0\": {\n      \"KeyA\": \"FFFFFFFFFFFF\"\n    }\n  }\n}\n";
}

TEST(JsonDump, ReadsTheBlocks) {
    image::Image out;
    image::Error error;
    ASSERT_TRUE(image::parseJson(proxmarkJson(64), &out, &error)) << error.text();
    EXPECT_EQ(out.format, image::Format::json);
    ASSERT_EQ(out.bytes.size(), 1024u);
    EXPECT_EQ(out.bytes[5 * 16 + 15], 0xFF);
    EXPECT_EQ(out.bytes[3 * 16 + 6], 0xFF);
    EXPECT_EQ(out.bytes[3 * 16 + 7], 0x07);
    ASSERT_TRUE(image::parseJson(proxmarkJson(256), &out, &error)) << error.text();
    EXPECT_EQ(out.bytes.size(), 4096u);
}

TEST(JsonDump, RefusesWhatIsNoClassicDump) {
    image::Image out;
    image::Error error;
    EXPECT_FALSE(image::parseJson(proxmarkJson(64, "\"0011\""), &out, &error));
    EXPECT_EQ(error.line, 15);  // the line of "5": in the blocks
    EXPECT_EQ(error.message, "block 5: 2 bytes where a line holds 16");
    EXPECT_FALSE(image::parseJson(proxmarkJson(64, "17"), &out, &error));
    EXPECT_EQ(error.message, "block 5 is not a string of hex");
    EXPECT_FALSE(image::parseJson(proxmarkJson(63), &out, &error));
    EXPECT_EQ(error.line, 9);
    EXPECT_EQ(error.message, "63 blocks; a Mifare Classic image has 20, 64, 128 or 256");
    std::string renumbered = proxmarkJson(64);
    renumbered.replace(renumbered.find("\"63\":"), 5, "\"64\":");
    EXPECT_FALSE(image::parseJson(renumbered, &out, &error));
    EXPECT_EQ(error.message, "block 63 is missing");
    std::string ultralight = proxmarkJson(64);
    ultralight.replace(ultralight.find("mfcard"), 6, "mfu");
    EXPECT_FALSE(image::parseJson(ultralight, &out, &error));
    EXPECT_EQ(error.message, "FileType \"mfu\" is not a Mifare Classic dump (\"mfcard\")");
    EXPECT_FALSE(image::parseJson("{\n  \"blocks\": {\n    \"0\": \"00\",\n  }\n}\n", &out, &error));
    EXPECT_EQ(error.line, 4);
    EXPECT_EQ(error.message.rfind("not valid JSON (", 0), 0u) << error.message;
    EXPECT_FALSE(image::parseJson("[1, 2]", &out, &error));
    EXPECT_FALSE(image::parseJson("{\"FileType\": \"mfcard\"}", &out, &error));
    EXPECT_EQ(error.message, "no \"blocks\" object");
}

TEST(JsonDump, WritesWhatTheOtherToolReads) {
    Bytes bytes(1024, 0x00);
    const Bytes block0 = {0xA1, 0xB2, 0xC3, 0xD4, 0xA1 ^ 0xB2 ^ 0xC3 ^ 0xD4, 0x08, 0x04, 0x00};
    std::copy(block0.begin(), block0.end(), bytes.begin());
    for (unsigned s = 0; s < 16; ++s) {
        const Bytes trailer = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x07, 0x80, 0x69, 1, 2, 3, 4, 5, 6};
        std::copy(trailer.begin(), trailer.end(), bytes.begin() + (s * 4 + 3) * 16);
    }
    image::Image card = image::Image::of(bytes);
    card.known[9 * 16] = false;
    const std::string text = image::jsonText(card);
    for (const char* expected :
         {"\"FileType\": \"mfcard\"", "\"UID\": \"A1B2C3D4\"", "\"ATQA\": \"0400\"", "\"SAK\": \"08\"",
          "\"0\": \"A1B2C3D4040804000000000000000000\"", "\"9\": \"--000000000000000000000000000000\"",
          "\"KeyA\": \"FFFFFFFFFFFF\"", "\"KeyB\": \"010203040506\"", "\"AccessConditions\": \"FF078069\"",
          "\"block0\": \"read A|B; write A|B; increment A|B; decrement transfer restore A|B\"",
          "\"block3\": \"write A by A; read ACCESS by A; write ACCESS by A; read B by A; write B by A\""}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text.substr(0, 600);
    }
    image::Image back;
    image::Error error;
    ASSERT_TRUE(image::parseJson(text, &back, &error)) << error.text();
    EXPECT_EQ(back.bytes, bytes);
    EXPECT_EQ(back.known, card.known);
}

TEST(ImageError, TextNamesWhatIsKnown) {
    EXPECT_EQ((image::Error{"a.txt", 3, "bad"}).text(), "a.txt:3: bad");
    EXPECT_EQ((image::Error{"a.txt", 0, "bad"}).text(), "a.txt: bad");
    EXPECT_EQ((image::Error{"", 3, "bad"}).text(), "line 3: bad");
    EXPECT_EQ((image::Error{"", 0, "bad"}).text(), "bad");
}

}  // namespace
