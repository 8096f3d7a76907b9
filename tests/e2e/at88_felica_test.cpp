// AT88RF020 and FeliCa through the library: request frames, the password
// rule, LOCK and COUNT as they show in pages 0 and 2, deselect, and the
// FeliCa card number.
#include <gtest/gtest.h>

#include <functional>

#include "cards/at88rf020.h"
#include "support/sim_fixture.h"
#include "cards/toolkit.h"
#include "frame_codec.h"

namespace {

using sim::Bytes;

const unsigned char kPassword[8] = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80};

class At88 : public kvtest::SimReaderTest {
protected:
    void SetUp() override {
        SimReaderTest::SetUp();
        ASSERT_EQ(rf_init_type(0, 'r'), 0);
        place("at88rf020:uid=A1B2C3D4,password=1020304050607080");
        wake();
    }
    // The answer to request (REQB) that the type B commands give.
    void wake() {
        server->withReader([](sim::Reader& r) {
            for (sim::At88rf020* card : r.field.all<sim::At88rf020>()) card->request(true);
        });
    }
    int read(int page) { return rf_at020_read(0, static_cast<unsigned char>(page), data, &len); }
    Bytes got() const { return Bytes(data, data + len); }
    unsigned char data[256] = {};
    unsigned char len = 0;
};

TEST_F(At88, EachCommandSendsItsCodeAndFields) {
    const unsigned char page[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const unsigned char lock[4] = {0x01, 0x02, 0x03, 0x04};
    const unsigned char count[6] = {0xA, 0xB, 0xC, 0xD, 0xE, 0xF};
    const std::vector<std::pair<std::function<int()>, Bytes>> cases = {
        {[&] { return rf_at020_check(0, kPassword); },
         common::encodeRequest(0, 0x3F, {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80})},
        {[&] { return rf_at020_read(0, 9, data, &len); }, common::encodeRequest(0, 0x40, {9})},
        {[&] { return rf_at020_write(0, 9, page); }, common::encodeRequest(0, 0x41, {9, 1, 2, 3, 4, 5, 6, 7, 8})},
        {[&] { return rf_at020_lock(0, lock); }, common::encodeRequest(0, 0x42, {1, 2, 3, 4})},
        {[&] { return rf_at020_count(0, count); }, common::encodeRequest(0, 0x43, {0xA, 0xB, 0xC, 0xD, 0xE, 0xF})},
        {[&] { return rf_at020_deselect(0); }, common::encodeRequest(0, 0x44, {})},
    };
    for (const auto& [call, frame] : cases) {
        takeRequests();
        call();
        EXPECT_EQ(takeRequests(), std::vector<Bytes>{frame}) << sim::hex(frame);
    }
    int felica_len = 0;
    takeRequests();
    rf_felica_get_uid(0, data, &felica_len);
    EXPECT_EQ(takeRequests(), std::vector<Bytes>{common::encodeRequest(0, 0x81, {})});
}

TEST_F(At88, ThePasswordOpensTheProtectedPagesAndPageThreeNeverReads) {
    // Pages 0-2 without the password; page 0 begins with the PUPI.
    ASSERT_EQ(read(0), 0);
    EXPECT_EQ(Bytes(data, data + 4), (Bytes{0xA1, 0xB2, 0xC3, 0xD4}));
    EXPECT_EQ(read(2), 0);
    EXPECT_EQ(read(4), sim::kPasswordRequired);
    const unsigned char value[8] = {9, 8, 7, 6, 5, 4, 3, 2};
    EXPECT_EQ(rf_at020_write(0, 4, value), sim::kPasswordRequired);

    unsigned char wrong[8] = {};
    EXPECT_EQ(rf_at020_check(0, wrong), sim::kPasswordWrong);
    EXPECT_EQ(read(4), sim::kPasswordRequired);
    ASSERT_EQ(rf_at020_check(0, kPassword), 0);
    ASSERT_EQ(rf_at020_write(0, 4, value), 0);
    ASSERT_EQ(read(4), 0);
    EXPECT_EQ(got(), Bytes(value, value + 8));
    EXPECT_EQ(read(3), sim::kPageUnreadable);
    EXPECT_EQ(read(32), sim::kChipBlockRange);
    // Pages 0 and 2 change only through LOCK and COUNT.
    EXPECT_EQ(rf_at020_write(0, 0, value), sim::kChipLocked);
    EXPECT_EQ(rf_at020_write(0, 2, value), sim::kChipLocked);

    // A wrong password closes the card again.
    EXPECT_EQ(rf_at020_check(0, wrong), sim::kPasswordWrong);
    EXPECT_EQ(read(4), sim::kPasswordRequired);
}

TEST_F(At88, ANewPasswordWrittenToPageThreeIsTheOneChecked) {
    ASSERT_EQ(rf_at020_check(0, kPassword), 0);
    const unsigned char next[8] = {1, 1, 2, 2, 3, 3, 4, 4};
    ASSERT_EQ(rf_at020_write(0, 3, next), 0);
    EXPECT_EQ(rf_at020_check(0, kPassword), sim::kPasswordWrong);
    EXPECT_EQ(rf_at020_check(0, next), 0);
}

TEST_F(At88, LockAndCountChangePagesZeroAndTwo) {
    const unsigned char lock[4] = {0x20, 0x00, 0x00, 0x00};  // bit 5: page 5
    const unsigned char signature[6] = {0x51, 0x52, 0x53, 0x54, 0x55, 0x56};
    EXPECT_EQ(rf_at020_lock(0, lock), sim::kPasswordRequired);
    EXPECT_EQ(rf_at020_count(0, signature), sim::kPasswordRequired);
    ASSERT_EQ(rf_at020_check(0, kPassword), 0);

    ASSERT_EQ(rf_at020_lock(0, lock), 0);
    ASSERT_EQ(read(0), 0);
    EXPECT_EQ(got(), (Bytes{0xA1, 0xB2, 0xC3, 0xD4, 0x20, 0x00, 0x00, 0x00}));
    const unsigned char value[8] = {};
    EXPECT_EQ(rf_at020_write(0, 5, value), sim::kChipLocked);
    EXPECT_EQ(rf_at020_write(0, 6, value), 0);
    // Lock bits are only ever added.
    const unsigned char more[4] = {0x00, 0x00, 0x00, 0x80};
    ASSERT_EQ(rf_at020_lock(0, more), 0);
    ASSERT_EQ(read(0), 0);
    EXPECT_EQ(Bytes(data + 4, data + 8), (Bytes{0x20, 0x00, 0x00, 0x80}));

    ASSERT_EQ(rf_at020_count(0, signature), 0);
    ASSERT_EQ(read(2), 0);
    EXPECT_EQ(got(), (Bytes{0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x01, 0x00}));
    ASSERT_EQ(rf_at020_count(0, signature), 0);
    ASSERT_EQ(read(2), 0);
    EXPECT_EQ(data[6], 0x02);
}

TEST_F(At88, DeselectSilencesTheCardUntilItIsWokenAgain) {
    ASSERT_EQ(rf_at020_check(0, kPassword), 0);
    ASSERT_EQ(rf_at020_deselect(0), 0);
    EXPECT_EQ(read(0), sim::kNoCard);
    wake();
    ASSERT_EQ(read(0), 0);
    EXPECT_EQ(read(4), sim::kPasswordRequired);  // the password must be shown again
    // The field going down also closes it.
    ASSERT_EQ(rf_at020_check(0, kPassword), 0);
    ASSERT_EQ(rf_antenna_sta(0, 0), 0);
    ASSERT_EQ(rf_antenna_sta(0, 1), 0);
    EXPECT_EQ(read(0), sim::kNoCard);
}

TEST_F(At88, TheAnswerToRequestCarriesThePupi) {
    server->withReader([](sim::Reader& r) {
        const sim::At88rf020* card = r.field.all<sim::At88rf020>().front();
        const std::vector<std::uint8_t> atqb = card->atqb();
        ASSERT_EQ(atqb.size(), 12u);
        EXPECT_EQ(atqb[0], 0x50);
        EXPECT_EQ(Bytes(atqb.begin() + 1, atqb.begin() + 5), (Bytes{0xA1, 0xB2, 0xC3, 0xD4}));
        EXPECT_EQ(card->family(), 'r');
    });
}

TEST_F(At88, TheTestProgramsSearchWakesTheCardWithItsAnswerToRequest) {
    // Field off, AT88RF020 mode, field on, then the request, as its page does.
    ASSERT_EQ(rf_antenna_sta(0, 0), 0);
    ASSERT_EQ(rf_init_type(0, 'r'), 0);
    ASSERT_EQ(rf_antenna_sta(0, 1), 0);
    EXPECT_EQ(read(0), sim::kNoCard);  // asleep until requested
    unsigned char atqb[256] = {};
    unsigned char atqb_len = 0;
    ASSERT_EQ(rf_atqb(0, 0, atqb, &atqb_len), 0);
    ASSERT_EQ(atqb_len, 12);
    EXPECT_EQ(Bytes(atqb, atqb + 5), (Bytes{0x50, 0xA1, 0xB2, 0xC3, 0xD4}));
    ASSERT_EQ(rf_at020_check(0, kPassword), 0);
    EXPECT_EQ(read(31), 0);
    // Deselected, it answers only a wake-up request.
    ASSERT_EQ(rf_at020_deselect(0), 0);
    EXPECT_NE(rf_atqb(0, 0, atqb, &atqb_len), 0);
    ASSERT_EQ(rf_atqb(0, 1, atqb, &atqb_len), 0);
    EXPECT_EQ(read(0), 0);
}

class Felica : public kvtest::SimReaderTest {};

TEST_F(Felica, TheCardNumberIsTheIdmWithoutItsManufacturerCode) {
    place("felica:uid=012E0102030405A6");
    unsigned char uid[256] = {};
    int uid_len = -1;
    EXPECT_EQ(rf_felica_get_uid(0, uid, &uid_len), sim::kNoCard);  // type A mode
    EXPECT_EQ(uid_len, -1);
    ASSERT_EQ(rf_init_type(0, 'C'), 0);
    ASSERT_EQ(rf_felica_get_uid(0, uid, &uid_len), 0);
    EXPECT_EQ(uid_len, 6);
    EXPECT_EQ(Bytes(uid, uid + 6), (Bytes{0x01, 0x02, 0x03, 0x04, 0x05, 0xA6}));
}

}  // namespace
