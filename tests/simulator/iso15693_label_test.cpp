// ISO15693 labels at the air interface, and the catalogue entries of the
// label and chip types: options, dumps and their checks.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "cards/at88rf020.h"
#include "cards/iso15693_label.h"
#include "cards/st_chip.h"
#include "server/families.h"

namespace {

using sim::Bytes;
using sim::Iso15693Label;

const std::array<std::uint8_t, 8> kUid = {0x21, 0x43, 0x65, 0x87, 0x00, 0x01, 0x04, 0xE0};

Bytes addressed(std::uint8_t flags, std::uint8_t command, Bytes params = {}) {
    Bytes frame{flags, command};
    frame.insert(frame.end(), kUid.begin(), kUid.end());
    frame.insert(frame.end(), params.begin(), params.end());
    return frame;
}

TEST(LabelAir, InventoryMaskAndAfiChooseWhoAnswers) {
    Iso15693Label label(sim::kIcodeSli, kUid, {});
    label.setAfi(0x07);
    // One-slot inventory, mask of 8 bits: 0x21 matches the UID's low byte.
    EXPECT_TRUE(label.transceive({0x26, 0x01, 8, 0x21}));
    EXPECT_FALSE(label.transceive({0x26, 0x01, 8, 0x22}));
    EXPECT_TRUE(label.transceive({0x26, 0x01, 4, 0x01}));  // low nibble only
    // AFI flag: the label's family, or 0 for all.
    EXPECT_TRUE(label.transceive({0x36, 0x01, 0x07, 0}));
    EXPECT_TRUE(label.transceive({0x36, 0x01, 0x00, 0}));
    EXPECT_FALSE(label.transceive({0x36, 0x01, 0x08, 0}));
    const std::optional<Bytes> answer = label.transceive({0x26, 0x01, 0});
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->size(), 10u);  // flags, DSFID, UID
}

// An inventory's AFI: X0 is every sub-family of family X, 0Y sub-family Y
// of every family, XY exactly that, 00 everything.
TEST(LabelAir, InventoryAfiMatchesFamilyAndSubFamily) {
    Iso15693Label label(sim::kIcodeSli, kUid, {});
    label.setAfi(0x37);
    const std::pair<std::uint8_t, bool> cases[] = {{0x00, true},  {0x30, true},  {0x07, true}, {0x37, true},
                                                   {0x40, false}, {0x05, false}, {0x36, false}, {0x47, false}};
    for (const auto& [afi, answers] : cases) {
        EXPECT_EQ(label.transceive({0x36, 0x01, afi, 0}).has_value(), answers) << "AFI " << int(afi);
    }
}

// Block security status of blocks 26-30 on a 28-block I-CODE SLI: the two
// that exist. A Tag-it HF-I Plus refuses such a range (error 0x10).
TEST(LabelAir, BlockSecurityPastTheEndOfAnIcodeGivesTheShorterList) {
    Iso15693Label icode(sim::kIcodeSli, kUid, {});
    ASSERT_EQ(icode.transceive(addressed(0x22, 0x22, {27})), Bytes{0x00});
    EXPECT_EQ(icode.transceive(addressed(0x22, 0x2C, {26, 4})), (Bytes{0x00, 0x00, 0x01}));
    EXPECT_EQ(icode.transceive(addressed(0x22, 0x2C, {28, 0})), (Bytes{0x01, 0x10}));
    const std::array<std::uint8_t, 8> ti_uid = {0x21, 0x43, 0x65, 0x87, 0x00, 0x01, 0x07, 0xE0};
    Iso15693Label tagit(sim::kTagItPlus, ti_uid, {});
    Bytes frame{0x22, 0x2C};
    frame.insert(frame.end(), ti_uid.begin(), ti_uid.end());
    frame.insert(frame.end(), {62, 4});
    EXPECT_EQ(tagit.transceive(frame), (Bytes{0x01, 0x10}));
}

TEST(LabelAir, OptionFlagPutsTheSecurityByteBeforeEachBlock) {
    Iso15693Label label(sim::kIcodeSli, kUid, Bytes(28 * 4, 0xAB));
    ASSERT_EQ(label.transceive(addressed(0x22, 0x22, {1})), Bytes{0x00});
    EXPECT_EQ(label.transceive(addressed(0x62, 0x23, {0, 1})),
              (Bytes{0x00, 0x00, 0xAB, 0xAB, 0xAB, 0xAB, 0x01, 0xAB, 0xAB, 0xAB, 0xAB}));
}

TEST(LabelAir, SelectingAnotherLabelDeselectsThisOne) {
    Iso15693Label label(sim::kIcodeSli, kUid, {});
    ASSERT_TRUE(label.transceive(addressed(0x22, 0x25)));
    EXPECT_EQ(label.state(), Iso15693Label::State::selected);
    Bytes other = addressed(0x22, 0x25);
    other[2] ^= 0xFF;
    EXPECT_FALSE(label.transceive(other));
    EXPECT_EQ(label.state(), Iso15693Label::State::ready);
}

TEST(LabelAir, ErrorsAndForeignCustomCommands) {
    Iso15693Label icode(sim::kIcodeSli, kUid, {});
    EXPECT_EQ(icode.transceive(addressed(0x22, 0x3F)), (Bytes{0x01, 0x01}));          // not supported
    EXPECT_EQ(icode.transceive(addressed(0x22, 0x21, {1, 2})), (Bytes{0x01, 0x02}));  // data missing
    // A custom command with another manufacturer's code is not for this label.
    Bytes foreign{0x22, 0xA2, 0x07};
    foreign.insert(foreign.end(), kUid.begin(), kUid.end());
    EXPECT_FALSE(icode.transceive(foreign));
    // Stay quiet is never answered, and then only addressed requests are heard.
    EXPECT_FALSE(icode.transceive(addressed(0x22, 0x02)));
    EXPECT_EQ(icode.state(), Iso15693Label::State::quiet);
    EXPECT_FALSE(icode.transceive({0x02, 0x2B}));
    EXPECT_TRUE(icode.transceive(addressed(0x22, 0x2B)));
}

class Catalogue : public ::testing::Test {
protected:
    sim::CardPtr make(const std::string& spec) {
        std::string type;
        sim::CardOptions options;
        why.clear();
        if (!sim::parseCardSpec(spec, &type, &options, &why)) return nullptr;
        return catalog.make(type, options, &why);
    }
    std::string file(const std::string& name) {
        return (std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()))).string();
    }
    const sim::CardCatalog catalog = sim::fullCatalog();
    std::string why;
};

TEST_F(Catalogue, UidsMustNameTheirManufacturer) {
    EXPECT_TRUE(make("icode:uid=E004000000000009"));
    EXPECT_FALSE(make("tagit:uid=E004000000000009"));
    EXPECT_NE(why.find("E0 07"), std::string::npos) << why;
    EXPECT_FALSE(make("srix4k:uid=E002000000000001"));
    EXPECT_FALSE(make("icode:uid=E00400"));
    EXPECT_FALSE(make("icode:colour=red"));
    EXPECT_FALSE(make("at88rf020:password=0102"));
}

TEST_F(Catalogue, DumpsLoadAndSaveRawImages) {
    const std::string path = file("label.bin");
    Bytes image(64 * 4);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(image.data()), 256);

    sim::CardPtr tagit = make("tagit:dump=" + path);
    ASSERT_TRUE(tagit) << why;
    EXPECT_EQ(static_cast<Iso15693Label&>(*tagit).memory(), image);
    EXPECT_FALSE(make("icode:dump=" + path));  // 112 bytes expected
    EXPECT_NE(why.find("the image holds 256 bytes, the card 112"), std::string::npos) << why;

    const std::string saved = file("saved.bin");
    ASSERT_TRUE(tagit->saveDump(saved, &why)) << why;
    sim::CardPtr again = make("tagit:dump=" + saved);
    ASSERT_TRUE(again) << why;
    EXPECT_EQ(static_cast<Iso15693Label&>(*again).memory(), image);
    std::filesystem::remove(path);
    std::filesystem::remove(saved);
}

TEST_F(Catalogue, At88DumpGivesThePupiAndThePasswordOptionReplacesPageThree) {
    const std::string path = file("at88.bin");
    Bytes image(256, 0x00);
    image[0] = 0x11, image[1] = 0x22, image[2] = 0x33, image[3] = 0x44;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(image.data()), 256);
    sim::CardPtr card = make("at88rf020:dump=" + path + ",password=0102030405060708");
    ASSERT_TRUE(card) << why;
    auto& at88 = static_cast<sim::At88rf020&>(*card);
    EXPECT_EQ(at88.pupi(), (std::array<std::uint8_t, 4>{0x11, 0x22, 0x33, 0x44}));
    EXPECT_EQ(Bytes(at88.memory().begin() + 24, at88.memory().begin() + 32), (Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
    std::filesystem::remove(path);
}

TEST_F(Catalogue, Sr176DumpCarriesItsUid) {
    const std::string path = file("sr176.bin");
    Bytes image(32, 0x00);
    const Bytes uid = {0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0xD0};
    std::copy(uid.begin(), uid.end(), image.begin());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(image.data()), 32);
    sim::CardPtr card = make("sr176:dump=" + path);
    ASSERT_TRUE(card) << why;
    const auto& chip = static_cast<sim::StChip&>(*card);
    EXPECT_EQ(Bytes(chip.uid().begin(), chip.uid().end()), uid);
    std::filesystem::remove(path);
}

}  // namespace
