// Ultralight, Ultralight C and NTAG tag models: reads that roll over, lock
// and OTP bytes, protection by key or password, the NTAG213 extras.
#include <gtest/gtest.h>

#include "cards/ultralight.h"
#include "cards/ultralight_c_auth.h"
#include "cards/toolkit.h"
#include "ultralight_test_support.h"

namespace {

using sim::Bytes;
using sim::UltralightCard;
using Model = UltralightCard::Model;

using ultest::kUid;
using ultest::selectedTag;
using ultest::wake;

const std::uint8_t* bytes4(std::uint8_t b0, std::uint8_t b1 = 0, std::uint8_t b2 = 0, std::uint8_t b3 = 0) {
    static std::uint8_t data[4];
    data[0] = b0;
    data[1] = b1;
    data[2] = b2;
    data[3] = b3;
    return data;
}

Bytes pageOf(const UltralightCard& tag, int page) {
    return Bytes(tag.image().begin() + page * 4, tag.image().begin() + page * 4 + 4);
}

TEST(Ultralight, UidPagesCarryCheckBytes) {
    const UltralightCard tag(Model::ultralight, kUid);
    EXPECT_EQ(pageOf(tag, 0), (Bytes{0x04, 0x10, 0x20, 0x88 ^ 0x04 ^ 0x10 ^ 0x20}));
    EXPECT_EQ(pageOf(tag, 1), (Bytes{0x30, 0x40, 0x50, 0x60}));
    EXPECT_EQ(pageOf(tag, 2)[0], 0x30 ^ 0x40 ^ 0x50 ^ 0x60);
    EXPECT_EQ(tag.atqa(), 0x0044);
    EXPECT_EQ(tag.sak(), 0x00);
}

TEST(Ultralight, ReadReturnsFourPagesRollingOverAtTheEnd) {
    struct Case {
        Model model;
        int page;
        std::vector<int> pages;
    };
    const Case cases[] = {
        {Model::ultralight, 14, {14, 15, 0, 1}},
        {Model::ntag203, 40, {40, 41, 0, 1}},
        {Model::ntag213, 0x2C, {0x2C, 0, 1, 2}},
        {Model::ultralightC, 0x2A, {0x2A, 0x2B, 0, 1}},  // the key pages never read back
    };
    for (const Case& c : cases) {
        auto tag = selectedTag(c.model);
        Bytes expected;
        for (const int p : c.pages) {
            const Bytes page = p == 0x2C && c.model == Model::ntag213 ? Bytes(4, 0) : pageOf(*tag, p);
            expected.insert(expected.end(), page.begin(), page.end());
        }
        Bytes data;
        ASSERT_EQ(tag->read(c.page, &data), sim::kOk) << tag->kind();
        EXPECT_EQ(data, expected) << tag->kind();
        EXPECT_EQ(tag->read(tag->pageCount(), &data), sim::kBlockRange) << tag->kind();
    }
    auto ulc = selectedTag(Model::ultralightC);
    Bytes data;
    EXPECT_EQ(ulc->read(0x2C, &data), sim::kAccessDenied);
}

TEST(Ultralight, LockBytesAndOtpAreOredAndLockedPagesRefuseWrites) {
    auto tag = selectedTag(Model::ultralight);
    const Bytes otp1 = {0x01, 0x00, 0x80, 0x00}, otp2 = {0x00, 0x02, 0x00, 0x00};
    ASSERT_EQ(tag->write(3, otp1.data()), sim::kOk);
    ASSERT_EQ(tag->write(3, otp2.data()), sim::kOk);
    EXPECT_EQ(pageOf(*tag, 3), (Bytes{0x01, 0x02, 0x80, 0x00}));

    const Bytes data = {1, 2, 3, 4};
    ASSERT_EQ(tag->write(5, data.data()), sim::kOk);
    const Bytes lock_page5 = {0xFF, 0xFF, 0x20, 0x00};  // bytes 0-1 of page 2 cannot change
    ASSERT_EQ(tag->write(2, lock_page5.data()), sim::kOk);
    EXPECT_EQ(pageOf(*tag, 2)[1], 0x48);
    EXPECT_EQ(pageOf(*tag, 2)[2], 0x20);
    wake(*tag);
    EXPECT_EQ(tag->write(5, Bytes(4, 9).data()), sim::kLocked);
    EXPECT_EQ(pageOf(*tag, 5), data);
    wake(*tag);
    EXPECT_EQ(tag->write(0, Bytes(4, 0).data()), sim::kLocked);
    wake(*tag);
    EXPECT_EQ(tag->write(4, Bytes(4, 9).data()), sim::kOk);
    // Block-lock bit 1 freezes the lock bits of pages 4-9 (from the next REQA/WUPA).
    ASSERT_EQ(tag->write(2, Bytes{0, 0, 0x02, 0x00}.data()), sim::kOk);
    wake(*tag);
    ASSERT_EQ(tag->write(2, Bytes{0, 0, 0x10, 0x02}.data()), sim::kOk);
    EXPECT_EQ(pageOf(*tag, 2)[2], 0x22) << "page 4 stays unlocked";
    EXPECT_EQ(pageOf(*tag, 2)[3], 0x00) << "page 9 stays unlocked";
}

TEST(Ultralight, DynamicLockBitsLockGroupsOfPages) {
    auto tag = selectedTag(Model::ntag213);
    ASSERT_EQ(tag->write(0x28, Bytes{0x02, 0x00, 0x00, 0x00}.data()), sim::kOk);  // pages 18-19
    wake(*tag);
    EXPECT_EQ(tag->write(17, Bytes(4, 1).data()), sim::kOk);
    EXPECT_EQ(tag->write(18, Bytes(4, 1).data()), sim::kLocked);
    wake(*tag);
    EXPECT_EQ(tag->write(19, Bytes(4, 1).data()), sim::kLocked);
    wake(*tag);
    EXPECT_EQ(tag->write(20, Bytes(4, 1).data()), sim::kOk);
    EXPECT_EQ(pageOf(*tag, 0x28)[3], 0xBD) << "the reserved byte is kept";
}

TEST(Ntag213, VersionAndSignature) {
    auto tag = selectedTag(Model::ntag213);
    Bytes out;
    ASSERT_EQ(tag->getVersion(&out), sim::kOk);
    EXPECT_EQ(out, (Bytes{0x00, 0x04, 0x04, 0x02, 0x01, 0x00, 0x0F, 0x03}));
    ASSERT_EQ(tag->readSignature(&out), sim::kOk);
    EXPECT_EQ(out.size(), 32u);
    EXPECT_EQ(selectedTag(Model::ntag203)->getVersion(&out), sim::kNotSupported);
}

// The NFC counter counts the first READ or FAST_READ after RF power-up, and
// only with NFC_CNT_EN (bit 4 of ACCESS, page 0x2A byte 0) set.
TEST(Ntag213, NfcCounterCountsOncePerPowerUpWhenEnabled) {
    auto tag = selectedTag(Model::ntag213);
    Bytes out;
    ASSERT_EQ(tag->read(4, &out), sim::kOk);
    ASSERT_EQ(tag->readCounter(&out), sim::kOk);
    EXPECT_EQ(out, (Bytes{0, 0, 0})) << "a factory tag (ACCESS 00) never counts";
    ASSERT_EQ(tag->write(0x2A, bytes4(0x10)), sim::kOk);
    tag->powerDown();
    wake(*tag);
    tag->read(4, &out);
    tag->read(8, &out);
    tag->readCounter(&out);
    EXPECT_EQ(out, (Bytes{1, 0, 0}));
    // A new selection in the same power-up does not count again.
    wake(*tag);
    tag->fastRead(0, 3, &out);
    tag->readCounter(&out);
    EXPECT_EQ(out, (Bytes{1, 0, 0}));
    tag->powerDown();
    wake(*tag);
    tag->fastRead(0, 3, &out);
    tag->readCounter(&out);
    EXPECT_EQ(out, (Bytes{2, 0, 0}));
}

TEST(Ntag213, PasswordProtectionWithPackProtAndAuthLimit) {
    auto tag = selectedTag(Model::ntag213);
    tag->setPassword({0x12, 0x34, 0x56, 0x78}, {0xAB, 0xCD});
    tag->setAuth0(0x10);
    tag->setReadProtection(true);
    tag->setAuthLimit(2);
    Bytes out;
    EXPECT_EQ(tag->write(0x10, Bytes(4, 1).data()), sim::kNotAuthenticated);
    EXPECT_EQ(tag->state(), sim::TypeACard::State::idle) << "the NAK resets the tag";
    wake(*tag);
    EXPECT_EQ(tag->read(0x10, &out), sim::kNotAuthenticated);
    wake(*tag);
    ASSERT_EQ(tag->read(0x0E, &out), sim::kOk);
    Bytes rolled = pageOf(*tag, 0);
    const Bytes page1 = pageOf(*tag, 1);
    rolled.insert(rolled.end(), page1.begin(), page1.end());
    EXPECT_EQ(Bytes(out.begin() + 8, out.end()), rolled) << "reads roll over at AUTH0 while protected";
    EXPECT_EQ(tag->fastRead(0x0E, 0x10, &out), sim::kNotAuthenticated);
    wake(*tag);

    Bytes pack;
    EXPECT_EQ(tag->passwordAuth(Bytes{0, 0, 0, 0}.data(), &pack), sim::kAuthFailed);
    EXPECT_EQ(tag->state(), sim::TypeACard::State::idle);
    tag->request(true);
    tag->select();
    ASSERT_EQ(tag->passwordAuth(Bytes{0x12, 0x34, 0x56, 0x78}.data(), &pack), sim::kOk);
    EXPECT_EQ(pack, (Bytes{0xAB, 0xCD}));
    EXPECT_EQ(tag->write(0x10, Bytes(4, 1).data()), sim::kOk);
    ASSERT_EQ(tag->fastRead(0x2A, 0x2C, &out), sim::kOk);
    EXPECT_EQ(Bytes(out.begin() + 4, out.end()), Bytes(8, 0)) << "password and PACK read as zeros";

    // Two failures reach AUTHLIM 2: even the right password is refused from then on.
    EXPECT_EQ(tag->passwordAuth(Bytes{1, 1, 1, 1}.data(), &pack), sim::kAuthFailed);
    EXPECT_EQ(tag->passwordAuth(Bytes{1, 1, 1, 1}.data(), &pack), sim::kAuthFailed);
    EXPECT_EQ(tag->passwordAuth(Bytes{0x12, 0x34, 0x56, 0x78}.data(), &pack), sim::kAuthFailed);
}

TEST(UltralightC, KeyAuthenticationGuardsProtectedPages) {
    auto tag = selectedTag(Model::ultralightC);
    tag->setAuth0(0x20);
    tag->setReadProtection(true);
    Bytes out;
    EXPECT_EQ(tag->read(0x20, &out), sim::kNotAuthenticated);
    EXPECT_EQ(tag->write(0x20, Bytes(4, 1).data()), sim::kNotAuthenticated);
    const Bytes factory = {0x49, 0x45, 0x4D, 0x4B, 0x41, 0x45, 0x52, 0x42,
                           0x21, 0x4E, 0x41, 0x43, 0x55, 0x4F, 0x59, 0x46};
    // The key is stored with each half byte-reversed: "BREAKMEIFYOUCAN!".
    EXPECT_EQ(pageOf(*tag, 0x2C), (Bytes{'B', 'R', 'E', 'A'}));
    EXPECT_EQ(sim::ulc::readerAuthenticate(*tag, Bytes(16, 0).data()), sim::kAuthFailed);
    tag->request(true);
    tag->select();
    ASSERT_EQ(sim::ulc::readerAuthenticate(*tag, factory.data()), sim::kOk);
    EXPECT_EQ(tag->read(0x20, &out), sim::kOk);
    EXPECT_EQ(tag->write(0x20, Bytes(4, 1).data()), sim::kOk);
}

// A reader written here from the protocol, on the cipher alone: the tag's
// messages are two-key triple DES in CBC mode chained across the exchange.
TEST(UltralightC, ThreePassAuthenticationInteroperates) {
    auto tag = selectedTag(Model::ultralightC);
    const Bytes key = {0x49, 0x45, 0x4D, 0x4B, 0x41, 0x45, 0x52, 0x42,
                       0x21, 0x4E, 0x41, 0x43, 0x55, 0x4F, 0x59, 0x46};
    const kv::des::Key k = kv::des::makeKey(key.data(), key.size());
    Bytes challenge;
    ASSERT_EQ(tag->ulcChallenge(&challenge), sim::kOk);
    ASSERT_EQ(challenge.size(), 8u);
    std::uint8_t rnd_b[8];
    kv::des::decrypt(k, challenge.data(), rnd_b);  // IV 0
    const std::uint8_t rnd_a[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    std::uint8_t plain[16], response[16];
    for (int i = 0; i < 8; ++i) {
        plain[i] = rnd_a[i] ^ challenge[i];
        plain[8 + i] = rnd_b[(i + 1) % 8];
    }
    kv::des::encrypt(k, plain, response);
    for (int i = 0; i < 8; ++i) plain[8 + i] ^= response[i];
    kv::des::encrypt(k, plain + 8, response + 8);
    Bytes proof;
    ASSERT_EQ(tag->ulcConfirm(Bytes(response, response + 16), &proof), sim::kOk);
    EXPECT_TRUE(tag->authenticated());
    std::uint8_t answer[8];
    kv::des::decrypt(k, proof.data(), answer);
    for (int i = 0; i < 8; ++i) answer[i] ^= response[8 + i];
    EXPECT_EQ(Bytes(answer, answer + 8), (Bytes{2, 3, 4, 5, 6, 7, 8, 1}));

    // A replayed answer to a new challenge fails and drops the tag.
    tag->request(true);
    tag->select();
    ASSERT_EQ(tag->ulcChallenge(&challenge), sim::kOk);
    EXPECT_EQ(tag->ulcConfirm(Bytes(response, response + 16), &proof), sim::kAuthFailed);
    EXPECT_EQ(tag->state(), sim::TypeACard::State::idle);
}

}  // namespace
