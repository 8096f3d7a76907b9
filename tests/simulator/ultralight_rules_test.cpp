// The Ultralight family's rules that hosts trip over: the layout of the
// dynamic lock byte, the reset after every NAK, lock bits and keys that
// count from the next REQA/WUPA, and the one-way counter of page 0x29.
// Page numbers and values are the tags' datasheet values.
#include <gtest/gtest.h>

#include "cards/ultralight.h"
#include "cards/ultralight_c_auth.h"
#include "cards/toolkit.h"
#include "ultralight_test_support.h"

namespace {

using sim::Bytes;
using sim::UltralightCard;
using Model = UltralightCard::Model;
using State = sim::TypeACard::State;

using ultest::kUid;
using ultest::selectedTag;
using ultest::wake;
const Bytes kData = {0xA5, 0xA5, 0xA5, 0xA5};

// A write to `page`, the tag woken again afterwards (a refusal resets it).
std::uint8_t writeAndWake(UltralightCard& tag, int page, const Bytes& data) {
    const std::uint8_t status = tag.write(page, data.data());
    wake(tag);
    return status;
}

unsigned counterOf(const UltralightCard& tag) { return tag.image()[0x29 * 4] | tag.image()[0x29 * 4 + 1] << 8; }

TEST(UltralightDynamicLocks, ByteZeroLocksFourPagesPerBitAroundTheBlockLockBits) {
    struct Case {
        std::uint8_t bit;
        int first, last;  // the pages it locks
    };
    const Case cases[] = {{0x02, 16, 19}, {0x04, 20, 23}, {0x08, 24, 27},
                          {0x20, 28, 31}, {0x40, 32, 35}, {0x80, 36, 39}};
    for (const Model model : {Model::ultralightC, Model::ntag203}) {
        for (const Case& c : cases) {
            auto tag = selectedTag(model);
            SCOPED_TRACE(tag->kind() + " lock bit " + std::to_string(c.bit));
            ASSERT_EQ(writeAndWake(*tag, 0x28, {c.bit, 0, 0, 0}), sim::kOk);
            if (c.first > 16) {
                EXPECT_EQ(writeAndWake(*tag, c.first - 1, kData), sim::kOk);
            }
            EXPECT_EQ(writeAndWake(*tag, c.first, kData), sim::kLocked);
            EXPECT_EQ(writeAndWake(*tag, c.last, kData), sim::kLocked);
            if (c.last < 39) {
                EXPECT_EQ(writeAndWake(*tag, c.last + 1, kData), sim::kOk);
            }
        }
        // Bits 0 and 4 lock no page.
        auto tag = selectedTag(model);
        ASSERT_EQ(writeAndWake(*tag, 0x28, {0x11, 0, 0, 0}), sim::kOk);
        for (const int page : {16, 27, 28, 39}) EXPECT_EQ(writeAndWake(*tag, page, kData), sim::kOk) << page;
    }
}

TEST(UltralightDynamicLocks, BlockLockBitsFreezeTheirGroupsLockBits) {
    for (const Model model : {Model::ultralightC, Model::ntag203}) {
        auto tag = selectedTag(model);
        SCOPED_TRACE(tag->kind());
        ASSERT_EQ(writeAndWake(*tag, 0x28, {0x01, 0, 0, 0}), sim::kOk);
        ASSERT_EQ(writeAndWake(*tag, 0x28, {0xEE, 0, 0, 0}), sim::kOk);
        EXPECT_EQ(tag->image()[0x28 * 4], 0xE1) << "bits 1-3 frozen, bits 5-7 set";
        ASSERT_EQ(writeAndWake(*tag, 0x28, {0x10, 0, 0, 0}), sim::kOk);
        EXPECT_EQ(writeAndWake(*tag, 16, kData), sim::kOk);
        EXPECT_EQ(writeAndWake(*tag, 28, kData), sim::kLocked);
    }
}

TEST(UltralightNak, ARefusalResetsTheTagToIdle) {
    auto tag = selectedTag(Model::ultralight);
    Bytes out;
    EXPECT_EQ(tag->read(16, &out), sim::kBlockRange);
    EXPECT_EQ(tag->state(), State::idle);
    wake(*tag);
    EXPECT_EQ(tag->write(0, kData.data()), sim::kLocked);
    EXPECT_EQ(tag->state(), State::idle);
    // An idle tag answers REQA.
    EXPECT_TRUE(tag->request(false));
}

TEST(UltralightNak, ATagWokenFromHaltGoesBackToHalt) {
    auto tag = selectedTag(Model::ntag213);
    tag->setPassword({1, 2, 3, 4}, {5, 6});
    tag->halt();
    wake(*tag);
    Bytes pack;
    EXPECT_EQ(tag->passwordAuth(Bytes{9, 9, 9, 9}.data(), &pack), sim::kAuthFailed);
    EXPECT_EQ(tag->state(), State::halted);
    EXPECT_FALSE(tag->request(false)) << "a halted tag ignores REQA";
    wake(*tag);
    EXPECT_EQ(tag->write(0x2D, kData.data()), sim::kBlockRange);
    EXPECT_EQ(tag->state(), State::halted);
    // Woken from idle it falls back to idle.
    tag->powerDown();
    ASSERT_TRUE(tag->request(false));
    tag->select();
    EXPECT_EQ(tag->fastRead(0, 0x2D, &pack), sim::kBlockRange);
    EXPECT_EQ(tag->state(), State::idle);
}

TEST(UltralightLatching, LockBitsCountFromTheNextRequest) {
    auto tag = selectedTag(Model::ultralight);
    ASSERT_EQ(tag->write(2, Bytes{0, 0, 0x10, 0x00}.data()), sim::kOk);  // static lock bit of page 4
    EXPECT_EQ(tag->write(4, kData.data()), sim::kOk) << "still writable in this selection";
    ASSERT_TRUE(tag->request(false));
    tag->select();
    EXPECT_EQ(tag->write(4, Bytes(4, 0).data()), sim::kLocked);

    auto ntag = selectedTag(Model::ntag213);
    ASSERT_EQ(ntag->write(0x28, Bytes{0x01, 0, 0, 0}.data()), sim::kOk);  // pages 16-17
    EXPECT_EQ(ntag->write(16, kData.data()), sim::kOk);
    wake(*ntag);
    EXPECT_EQ(ntag->write(17, kData.data()), sim::kLocked);
}

TEST(UltralightLatching, ANewUltralightCKeyCountsFromTheNextRequest) {
    const Bytes factory = {0x49, 0x45, 0x4D, 0x4B, 0x41, 0x45, 0x52, 0x42,
                           0x21, 0x4E, 0x41, 0x43, 0x55, 0x4F, 0x59, 0x46};
    const Bytes fresh = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                         0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    auto tag = selectedTag(Model::ultralightC);
    ASSERT_EQ(tag->ulcWriteKey(fresh.data()), sim::kOk);
    EXPECT_EQ(sim::ulc::readerAuthenticate(*tag, factory.data()), sim::kOk) << "the old key until reactivation";
    tag->powerDown();
    wake(*tag);
    EXPECT_EQ(sim::ulc::readerAuthenticate(*tag, factory.data()), sim::kAuthFailed);
    wake(*tag);
    EXPECT_EQ(sim::ulc::readerAuthenticate(*tag, fresh.data()), sim::kOk);
}

TEST(UltralightCounter, UltralightCSetsOnceThenAddsTheLowNibbleAfterRfReset) {
    auto tag = selectedTag(Model::ultralightC);
    ASSERT_EQ(tag->write(0x29, Bytes{0x00, 0x01, 0, 0}.data()), sim::kOk);  // any first value: 0x0100
    EXPECT_EQ(counterOf(*tag), 0u) << "applies after an RF reset";
    tag->powerDown();
    EXPECT_EQ(counterOf(*tag), 0x0100u);
    wake(*tag);
    ASSERT_EQ(tag->write(0x29, Bytes{0x25, 0x00, 0, 0}.data()), sim::kOk);  // counts 5
    ASSERT_EQ(tag->write(0x29, Bytes{0x0F, 0x7F, 0, 0}.data()), sim::kOk);  // counts 15
    EXPECT_EQ(counterOf(*tag), 0x0100u);
    tag->powerDown();
    EXPECT_EQ(counterOf(*tag), 0x0114u);
}

TEST(UltralightCounter, Ntag203AddsOneToFifteenOnlyAndNeverPassesFfff) {
    auto tag = selectedTag(Model::ntag203);
    ASSERT_EQ(tag->write(0x29, Bytes{0xF0, 0xFF, 0, 0}.data()), sim::kOk);  // first write: 0xFFF0
    tag->powerDown();
    wake(*tag);
    EXPECT_EQ(writeAndWake(*tag, 0x29, {0x10, 0x00, 0, 0}), sim::kBadParameter) << "16 is too large";
    EXPECT_EQ(writeAndWake(*tag, 0x29, {0x00, 0x00, 0, 0}), sim::kBadParameter);
    EXPECT_EQ(writeAndWake(*tag, 0x29, {0x0F, 0x00, 0, 0}), sim::kOk);
    EXPECT_EQ(writeAndWake(*tag, 0x29, {0x01, 0x00, 0, 0}), sim::kValueOverflow);
    tag->powerDown();
    EXPECT_EQ(counterOf(*tag), 0xFFFFu);
}

}  // namespace
