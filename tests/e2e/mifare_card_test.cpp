// Mifare Classic end to end: library, transport and simulated reader and
// card, as an application drives them.
#include <filesystem>
#include <fstream>
#include <random>

#include "card_image.h"
#include "cards/mifare_classic.h"
#include "cards/toolkit.h"
#include "value_block.h"
#include "support/sim_fixture.h"

namespace {

using sim::Bytes;

const unsigned char kFactory[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

class MifareCard : public kvtest::SimReaderTest {
protected:
    // The application's search: request all, anticollision, select.
    int search(Bytes* uid = nullptr) {
        unsigned char atqa[2], id[252], length = 0, sak = 0;
        if (int s = rf_request(0, 0x52, atqa)) return s;
        if (int s = rf_anticoll(0, 4, id, &length)) return s;
        if (uid) uid->assign(id, id + length);
        return rf_select(0, id, length, &sak);
    }
    Bytes readBlock(int block, int* status) {
        unsigned char data[252], length = 0;
        *status = rf_M1_read(0, static_cast<unsigned char>(block), data, &length);
        return Bytes(data, data + (*status == 0 ? length : 0));
    }
    std::string dumpFile(const std::string& name, const Bytes& image) {
        const std::string path = dir->path() + "/" + name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(image.data()),
                                                    static_cast<std::streamsize>(image.size()));
        return path;
    }
};

// A card image as a real card's dump could be: random data, each sector its
// own key A and key B, delivery access bits (key A reads everything).
Bytes randomCardImage(sim::MifareClassic::Size size, std::uint32_t seed) {
    sim::MifareClassic card(size, {0x5E, 0xED, 0x00, static_cast<std::uint8_t>(seed)});
    Bytes image = card.image();
    std::mt19937 random(seed);
    for (std::size_t i = 16; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(random());
    for (int s = 0; s < card.sectorCount(); ++s) {
        std::uint8_t* trailer = image.data() + sim::MifareClassic::trailerOf(s) * 16;
        const std::uint8_t delivery_bits[4] = {0xFF, 0x07, 0x80, 0x69};
        std::copy(delivery_bits, delivery_bits + 4, trailer + 6);
    }
    return image;
}

class WholeCard : public MifareCard, public ::testing::WithParamInterface<sim::MifareClassic::Size> {};

TEST_P(WholeCard, EveryBlockReadsBackAsTheDumpHoldsIt) {
    const auto size = GetParam();
    const Bytes image = randomCardImage(size, size == sim::MifareClassic::Size::k1K ? 1 : 4);
    place(std::string(size == sim::MifareClassic::Size::k1K ? "mifare1k" : "mifare4k") +
          ":dump=" + dumpFile("card.mfd", image));
    Bytes uid;
    ASSERT_EQ(search(&uid), 0);
    EXPECT_EQ(uid, Bytes(image.begin(), image.begin() + 4));
    const int sectors = size == sim::MifareClassic::Size::k1K ? 16 : 40;
    for (int s = 0; s < sectors; ++s) {
        const int first = sim::MifareClassic::firstBlock(s);
        const unsigned char* key_a = image.data() + sim::MifareClassic::trailerOf(s) * 16;
        ASSERT_EQ(rf_M1_authentication2(0, 0x60, static_cast<unsigned char>(first), key_a), 0) << "sector " << s;
        for (int b = first; b < first + sim::MifareClassic::blocksIn(s); ++b) {
            int status = 0;
            Bytes block = readBlock(b, &status);
            ASSERT_EQ(status, 0) << "block " << b;
            Bytes expected(image.begin() + b * 16, image.begin() + b * 16 + 16);
            if (b == sim::MifareClassic::trailerOf(s)) std::fill(expected.begin(), expected.begin() + 6, 0);
            EXPECT_EQ(sim::hex(block), sim::hex(expected)) << "block " << b;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(OneAndFourK, WholeCard,
                         ::testing::Values(sim::MifareClassic::Size::k1K, sim::MifareClassic::Size::k4K));

TEST_F(MifareCard, TextDumpLoadsAndReadsBack) {
    const Bytes image = randomCardImage(sim::MifareClassic::Size::k1K, 9);
    const std::string path = dir->path() + "/card.txt";
    std::ofstream(path) << common::image::sectorsText(common::image::Image::of(image));
    place("mifare1k:dump=" + path);
    ASSERT_EQ(search(), 0);
    ASSERT_EQ(rf_M1_authentication2(0, 0x60, 60, image.data() + 63 * 16), 0);
    int status = 0;
    EXPECT_EQ(readBlock(61, &status), Bytes(image.begin() + 61 * 16, image.begin() + 62 * 16));
}

TEST_F(MifareCard, WrongKeyLeavesTheCardToBeSearchedAgain) {
    place("mifare1k");
    ASSERT_EQ(search(), 0);
    const unsigned char wrong[6] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(rf_M1_authentication2(0, 0x60, 4, wrong), sim::kAuthFailed);
    EXPECT_EQ(rf_GetErrorMessage(), sim::kAuthFailed);
    EXPECT_EQ(rf_M1_authentication2(0, 0x60, 4, kFactory), sim::kNotSelected);
    int status = 0;
    readBlock(4, &status);
    EXPECT_EQ(status, sim::kNotSelected);
    // The card went idle, not halted: an idle request finds it.
    unsigned char atqa[2];
    ASSERT_EQ(rf_request(0, 0x26, atqa), 0);
    ASSERT_EQ(search(), 0);
    EXPECT_EQ(rf_M1_authentication2(0, 0x60, 4, kFactory), 0);
}

// Key B is readable in delivery state, so it is data, not a key: the
// authentication succeeds and the card refuses the read and write after it.
TEST_F(MifareCard, ReadableKeyBAuthenticatesButOpensNothing) {
    place("mifare1k");
    ASSERT_EQ(search(), 0);
    ASSERT_EQ(rf_M1_authentication2(0, 0x61, 4, kFactory), 0);
    int status = 0;
    readBlock(4, &status);
    EXPECT_EQ(status, sim::kAccessDenied);
    const Bytes data(16, 0x3C);
    EXPECT_EQ(rf_M1_write(0, 5, data.data()), sim::kAccessDenied);
}

TEST_F(MifareCard, AccessBitsThatForbidAWrite) {
    place("mifare1k");
    ASSERT_EQ(search(), 0);
    ASSERT_EQ(rf_M1_authentication2(0, 0x60, 8, kFactory), 0);
    const Bytes data(16, 0x3C);
    ASSERT_EQ(rf_M1_write(0, 8, data.data()), 0);
    // Block group 0 read-only (010), the trailer as delivered (001).
    const auto bits = sim::mifare::encodeAccess({0b010, 0, 0, 0b001});
    Bytes trailer(kFactory, kFactory + 6);
    trailer.insert(trailer.end(), bits.begin(), bits.end());
    trailer.push_back(0x69);
    trailer.insert(trailer.end(), kFactory, kFactory + 6);
    ASSERT_EQ(rf_M1_write(0, 11, trailer.data()), 0);
    const Bytes other(16, 0x99);
    EXPECT_EQ(rf_M1_write(0, 8, other.data()), sim::kAccessDenied);
    EXPECT_EQ(rf_M1_write(0, 9, other.data()), 0);
    int status = 0;
    EXPECT_EQ(readBlock(8, &status), data);
    EXPECT_EQ(rf_M1_write(0, 0, other.data()), sim::kNotAuthenticated);
    ASSERT_EQ(rf_M1_authentication2(0, 0x60, 0, kFactory), 0);
    EXPECT_EQ(rf_M1_write(0, 0, other.data()), sim::kLocked) << "manufacturer block";
}

TEST_F(MifareCard, ValueBlockRoundTrip) {
    place("mifare1k");
    ASSERT_EQ(search(), 0);
    ASSERT_EQ(rf_M1_authentication2(0, 0x60, 4, kFactory), 0);
    ASSERT_EQ(rf_M1_initval(0, 5, 1000), 0);
    int status = 0;
    EXPECT_EQ(readBlock(5, &status), common::mifare::valueBlock(1000, 5));
    ASSERT_EQ(rf_M1_increment(0, 5, 250), 0);
    ASSERT_EQ(rf_M1_decrement(0, 5, 50), 0);
    int value = 0;
    ASSERT_EQ(rf_M1_readval(0, 5, &value), 0);
    EXPECT_EQ(value, 1200);
    // Backup: restore into the transfer buffer, transfer into block 6.
    ASSERT_EQ(rf_M1_restore(0, 5), 0);
    ASSERT_EQ(rf_M1_transfer(0, 6), 0);
    ASSERT_EQ(rf_M1_readval(0, 6, &value), 0);
    EXPECT_EQ(value, 1200);
    ASSERT_EQ(rf_M1_initval(0, 6, -7), 0);
    ASSERT_EQ(rf_M1_readval(0, 6, &value), 0);
    EXPECT_EQ(value, -7);
    // A data block is no value block.
    ASSERT_EQ(rf_M1_write(0, 4, Bytes(16, 1).data()), 0);
    EXPECT_EQ(rf_M1_readval(0, 4, &value), sim::kValueFormat);
    EXPECT_EQ(rf_M1_increment(0, 4, 1), sim::kValueFormat);
    EXPECT_EQ(value, -7) << "no output on failure";
}

TEST_F(MifareCard, HaltedCardAnswersOnlyAWakeUpRequest) {
    place("mifare1k");
    ASSERT_EQ(search(), 0);
    ASSERT_EQ(rf_halt(0), 0);
    unsigned char atqa[2] = {};
    EXPECT_EQ(rf_request(0, 0x26, atqa), sim::kNoCard);
    EXPECT_EQ(rf_M1_Halt_same_K62TX(0), 0) << "nobody answers a halt, so it always succeeds";
    ASSERT_EQ(rf_request(0, 0x52, atqa), 0);
    EXPECT_EQ(Bytes(atqa, atqa + 2), (Bytes{0x04, 0x00}));
    unsigned char uid[252], length = 0;
    EXPECT_EQ(rf_anticoll(0, 4, uid, &length), 0);
}

TEST_F(MifareCard, AnticollisionPicksOneOfSeveralCards) {
    place("mifare1k:uid=10203040");
    place("mifare4k:uid=90A0B0C0");
    unsigned char atqa[2];
    ASSERT_EQ(rf_request(0, 0x26, atqa), 0);
    EXPECT_EQ(Bytes(atqa, atqa + 2), (Bytes{0x06, 0x00})) << "the answers collide";
    unsigned char uid[252], length = 0, sak = 0;
    ASSERT_EQ(rf_anticoll(0, 4, uid, &length), 0);
    EXPECT_EQ(Bytes(uid, uid + length), (Bytes{0x90, 0xA0, 0xB0, 0xC0}));
    // The other card can still be selected by its UID, the first one is then deselected.
    const unsigned char other[4] = {0x10, 0x20, 0x30, 0x40};
    ASSERT_EQ(rf_select(0, other, 4, &sak), 0);
    EXPECT_EQ(sak, 0x08);
    EXPECT_EQ(rf_select(0, uid, 4, &sak), sim::kNoCard);
}

TEST_F(MifareCard, SevenByteUidCard) {
    place("mifare1k:uid=04112233445566");
    unsigned char atqa[2], uid[252], length = 0, sak = 0;
    ASSERT_EQ(rf_request(0, 0x52, atqa), 0);
    EXPECT_EQ(Bytes(atqa, atqa + 2), (Bytes{0x44, 0x00}));
    ASSERT_EQ(rf_anticoll(0, 4, uid, &length), 0);
    EXPECT_EQ(length, 7);
    ASSERT_EQ(rf_select(0, uid, length, &sak), 0);
    EXPECT_EQ(rf_M1_authentication2(0, 0x60, 4, kFactory), 0);
    ASSERT_EQ(rf_request1(0, 0x52, uid, &length), 0);
    EXPECT_EQ(Bytes(uid, uid + length), (Bytes{0x04, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66}));
}

TEST_F(MifareCard, ReaderKeyTables) {
    place("mifare1k:keya=0A0B0C0D0E0F,keyb=B0B1B2B3B4B5");
    ASSERT_EQ(search(), 0);
    EXPECT_EQ(rf_M1_authentication1(0, 'A', 1), sim::kKeySlot) << "nothing loaded yet";
    Bytes set(96, 0);
    for (int i = 0; i < 16; ++i) {
        const Bytes key = i == 3 ? Bytes{0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F} : Bytes(6, static_cast<std::uint8_t>(i));
        std::copy(key.begin(), key.end(), set.begin() + 6 * i);
    }
    ASSERT_EQ(rf_download_key(0, 'A', set.data()), 0);
    EXPECT_EQ(rf_M1_authentication1(0, 'A', 3), 0);
    EXPECT_EQ(rf_M1_authentication1(0, 'A', 16), sim::kKeySlot);
    EXPECT_EQ(rf_M1_authentication1(0, 'A', 2), sim::kAuthFailed);
    ASSERT_EQ(search(), 0);

    const Bytes pair = {0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 1, 1, 1, 1, 1, 1};
    ASSERT_EQ(rf_download_key2(0, 7, pair.data()), 0);
    EXPECT_EQ(rf_M1_authentication3(0, 0x60, 7), 0);
    int status = 0;
    readBlock(28, &status);
    EXPECT_EQ(status, 0) << "sector 7 is the authenticated one";
    const unsigned char key_a[6] = {0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F};
    EXPECT_EQ(rf_M1_authentication3(0, 0x60, 8), sim::kKeySlot);
    ASSERT_EQ(rf_download_key3(0, 0x60, 8, key_a), 0);
    EXPECT_EQ(rf_M1_authentication3(0, 0x60, 8), 0);
    EXPECT_EQ(rf_M1_authentication3(0, 0x60, 39), sim::kKeySlot);

    // rf_change_key replaces the first keys of set 'A'.
    Bytes changed(96, 0);
    std::copy(key_a, key_a + 6, changed.begin() + 6 * 2);
    ASSERT_EQ(rf_change_key(0, 19, changed.data()), 0);
    EXPECT_EQ(rf_M1_authentication1(0, 'A', 2), 0);
    EXPECT_EQ(rf_change_key(0, 18, changed.data()), sim::kBadLength) << "not whole keys";
}

}  // namespace

namespace {

// The processor-card reset runs the same request and select on a Classic
// card: its earlier authentication must not survive that.
TEST_F(MifareCard, ReselectionByTheProcessorCardResetEndsTheAuthentication) {
    place("mifare1k:uid=A1B2C3D4");
    ASSERT_EQ(search(), 0);
    ASSERT_EQ(rf_M1_authentication2(0, 0x60, 4, kFactory), 0);
    int status = 0;
    readBlock(4, &status);
    ASSERT_EQ(status, 0);
    unsigned char answer[252], length = 0;
    EXPECT_EQ(rf_typea_rst(0, 0x52, answer, &length), sim::kNoAnswer);
    readBlock(4, &status);
    EXPECT_EQ(status, sim::kNotAuthenticated);
}

}  // namespace
