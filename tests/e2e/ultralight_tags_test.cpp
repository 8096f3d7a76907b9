// Ultralight, Ultralight C and NTAG tags end to end, read the way the test
// program reads them: rf_request, rf_ul_select, rf_M1_read passes of four pages.
#include "cards/ultralight.h"
#include "cards/toolkit.h"
#include "support/sim_fixture.h"

namespace {

using sim::Bytes;

Bytes slice(const Bytes& bytes, std::size_t at, std::size_t n) {
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin() + static_cast<std::ptrdiff_t>(at + n));
}

class Tags : public kvtest::SimReaderTest {
protected:
    Bytes selectTag() {
        unsigned char atqa[2], uid[7], length = 0;
        EXPECT_EQ(rf_request(0, 0x52, atqa), 0);
        EXPECT_EQ(Bytes(atqa, atqa + 2), (Bytes{0x44, 0x00}));
        EXPECT_EQ(rf_ul_select(0, uid, &length), 0);
        return Bytes(uid, uid + length);
    }
    Bytes image() {
        return server->withReader(
            [](sim::Reader& r) { return dynamic_cast<sim::UltralightCard*>(r.field.cards()[0].get())->image(); });
    }
};

TEST_F(Tags, ReadPassesCoverEveryPageOfEachTag) {
    struct Case {
        const char* type;
        int passes;
        int pages;
    };
    for (const Case c : {Case{"ultralight", 4, 16}, Case{"ntag203", 11, 42}, Case{"ntag213", 12, 45}}) {
        SCOPED_TRACE(c.type);
        server->withReader([](sim::Reader& r) { r.field.clear(); });
        place(std::string(c.type) + ":uid=04A0A1A2A3A4A5");
        EXPECT_EQ(selectTag(), (Bytes{0x04, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5}));
        const Bytes memory = image();
        for (int pass = 0; pass < c.passes; ++pass) {
            unsigned char data[252], length = 0;
            ASSERT_EQ(rf_M1_read(0, static_cast<unsigned char>(4 * pass), data, &length), 0) << "pass " << pass;
            ASSERT_EQ(length, 16);
            for (int i = 0; i < 4; ++i) {
                const int page = (4 * pass + i) % c.pages;
                Bytes expected(memory.begin() + page * 4, memory.begin() + page * 4 + 4);
                if (std::string(c.type) == "ntag213" && (page == 0x2B || page == 0x2C)) expected = Bytes(4, 0);
                EXPECT_EQ(Bytes(data + 4 * i, data + 4 * i + 4), expected) << "page " << 4 * pass + i;
            }
        }
    }
}

TEST_F(Tags, WritesOtpAndLocksThroughTheLibrary) {
    place("ultralight");
    selectTag();
    const unsigned char data[4] = {1, 2, 3, 4}, otp[4] = {0x80, 0, 0, 1}, lock[4] = {0, 0, 0x40, 0};
    ASSERT_EQ(rf_ul_write(0, 6, data), 0);
    ASSERT_EQ(rf_ul_write(0, 3, otp), 0);
    ASSERT_EQ(rf_Ul_C_Lock_Page(0, 3, data), 0);
    EXPECT_EQ(slice(image(), 12, 4), (Bytes{0x81, 2, 3, 5}));
    ASSERT_EQ(rf_Ul_C_Lock_Page(0, 2, lock), 0);
    ASSERT_EQ(rf_ul_write(0, 6, otp), 0) << "lock bits count from the next REQA/WUPA";
    selectTag();
    EXPECT_EQ(rf_ul_write(0, 6, otp), sim::kLocked);
    EXPECT_EQ(rf_ul_write(0, 7, otp), sim::kNotSelected) << "the NAK reset the tag";
    selectTag();
    EXPECT_EQ(rf_Ul_C_Lock_Page(0, 6, data), sim::kBadParameter);
    // rf_M1_write on a tag writes the first four bytes to the page.
    const Bytes block = {9, 9, 9, 9, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7};
    ASSERT_EQ(rf_M1_write(0, 7, block.data()), 0);
    EXPECT_EQ(slice(image(), 28, 8), (Bytes{9, 9, 9, 9, 0, 0, 0, 0}));
}

TEST_F(Tags, Ntag213Extras) {
    place("ntag213:pwd=11223344,pack=A55A,auth0=0x10");
    selectTag();
    unsigned char data[252], length = 0;
    ASSERT_EQ(rf_Ntag_Get_Version(0, data, &length), 0);
    EXPECT_EQ(Bytes(data, data + length), (Bytes{0x00, 0x04, 0x04, 0x02, 0x01, 0x00, 0x0F, 0x03}));
    ASSERT_EQ(rf_Ntag_Read_Signature(0, data, &length), 0);
    EXPECT_EQ(length, 32);
    ASSERT_EQ(rf_Ntag_Fast_Read(0, 4, 7, data, &length), 0);
    EXPECT_EQ(Bytes(data, data + length), slice(image(), 16, 16));
    ASSERT_EQ(rf_Ntag_Read_CNT(0, data, &length), 0);
    EXPECT_EQ(Bytes(data, data + length), (Bytes{0, 0, 0})) << "ACCESS 00: NFC_CNT_EN clear";
    ASSERT_EQ(rf_NFC_Select_Sector(0, 0), 0);
    EXPECT_EQ(rf_NFC_Select_Sector(0, 1), sim::kBlockRange);

    const unsigned char page[4] = {5, 5, 5, 5};
    EXPECT_EQ(rf_ul_write(0, 0x10, page), sim::kNotAuthenticated);
    selectTag();
    const unsigned char wrong[4] = {0, 0, 0, 0}, right[4] = {0x11, 0x22, 0x33, 0x44};
    EXPECT_EQ(rf_Ntag_Password_Auth(0, wrong, data, &length), sim::kAuthFailed);
    EXPECT_EQ(rf_ul_write(0, 4, page), sim::kNotSelected) << "a failed PWD_AUTH leaves the tag idle";
    selectTag();
    ASSERT_EQ(rf_Ntag_Password_Auth(0, right, data, &length), 0);
    EXPECT_EQ(Bytes(data, data + length), (Bytes{0xA5, 0x5A}));
    EXPECT_EQ(rf_ul_write(0, 0x10, page), 0);
}

// NFC_CNT_EN (ACCESS bit 4) set: the first read after each RF power-up counts.
TEST_F(Tags, Ntag213NfcCounterCountsOncePerPowerUp) {
    place("ntag213");
    selectTag();
    const unsigned char access[4] = {0x10, 0, 0, 0};
    ASSERT_EQ(rf_ul_write(0, 0x2A, access), 0);
    unsigned char data[252], length = 0;
    for (const unsigned char count : {1, 2}) {
        ASSERT_EQ(rf_antenna_sta(0, 0), 0);
        ASSERT_EQ(rf_antenna_sta(0, 1), 0);
        selectTag();
        ASSERT_EQ(rf_M1_read(0, 4, data, &length), 0);
        ASSERT_EQ(rf_Ntag_Fast_Read(0, 4, 7, data, &length), 0);
        selectTag();
        ASSERT_EQ(rf_M1_read(0, 4, data, &length), 0);
        ASSERT_EQ(rf_Ntag_Read_CNT(0, data, &length), 0);
        EXPECT_EQ(Bytes(data, data + length), (Bytes{count, 0, 0}));
    }
}

TEST_F(Tags, UltralightCKeyAuthenticationAndKeyChange) {
    place("ultralightc:auth0=0x10,readprotect=1");
    selectTag();
    unsigned char data[252], length = 0;
    EXPECT_EQ(rf_M1_read(0, 0x10, data, &length), sim::kNotAuthenticated);
    selectTag();
    const Bytes factory = {0x49, 0x45, 0x4D, 0x4B, 0x41, 0x45, 0x52, 0x42,
                           0x21, 0x4E, 0x41, 0x43, 0x55, 0x4F, 0x59, 0x46};
    ASSERT_EQ(rf_Ul_C_Authentication(0, 0, factory.data()), 0);
    ASSERT_EQ(rf_M1_read(0, 0x10, data, &length), 0);
    const Bytes fresh(16, 0x3D);
    ASSERT_EQ(rf_Ul_C_ModifyKey(0, 0, fresh.data()), 0);
    selectTag();
    EXPECT_EQ(rf_Ul_C_Authentication(0, 0, factory.data()), sim::kAuthFailed);
    selectTag();
    ASSERT_EQ(rf_Ul_C_Authentication(0, 0, fresh.data()), 0);
    // Initialise: key, AUTH0 and AUTH1 (write-only protection) in one command.
    ASSERT_EQ(rf_Ul_C_Init(0, 0x20, 0x01, 0x00, factory.data()), 0);
    selectTag();
    EXPECT_EQ(rf_M1_read(0, 0x10, data, &length), 0) << "below AUTH0 again";
    EXPECT_EQ(rf_M1_read(0, 0x20, data, &length), 0) << "AUTH1 bit 0: reads stay open";
    const unsigned char page[4] = {1, 1, 1, 1};
    EXPECT_EQ(rf_ul_write(0, 0x20, page), sim::kNotAuthenticated);
}

TEST_F(Tags, HaltedTagAnswersOnlyAfterAWakeUp) {
    place("ntag203");
    selectTag();
    ASSERT_EQ(rf_halt(0), 0);
    unsigned char uid[7], length = 0;
    EXPECT_EQ(rf_ul_select(0, uid, &length), sim::kNoCard);
    selectTag();  // request 0x52 wakes it
}

// Every NAK resets the tag: to idle, or back to HALT when it was woken
// from there; either way it must be selected again.
TEST_F(Tags, ARefusedCommandResetsTheTag) {
    place("ultralight");
    selectTag();
    unsigned char data[252], length = 0, atqa[2];
    EXPECT_EQ(rf_M1_read(0, 16, data, &length), sim::kBlockRange);
    EXPECT_EQ(rf_M1_read(0, 0, data, &length), sim::kNotSelected);
    ASSERT_EQ(rf_request(0, 0x26, atqa), 0) << "idle: REQA finds it";
    ASSERT_EQ(rf_ul_select(0, data, &length), 0);
    ASSERT_EQ(rf_halt(0), 0);
    selectTag();
    const unsigned char page[4] = {1, 2, 3, 4};
    EXPECT_EQ(rf_ul_write(0, 1, page), sim::kLocked);
    EXPECT_EQ(rf_request(0, 0x26, atqa), sim::kNoCard) << "back in HALT";
    selectTag();
    EXPECT_EQ(rf_M1_read(0, 0, data, &length), 0);
}

TEST_F(Tags, TagCommandsOnAClassicCard) {
    place("mifare1k");
    unsigned char atqa[2], uid[7], length = 0, data[252];
    ASSERT_EQ(rf_request(0, 0x52, atqa), 0);
    // The Ultralight select reports the 4-byte UID's length and refuses it.
    EXPECT_EQ(rf_ul_select(0, uid, &length), 1);
    EXPECT_EQ(length, 4);
    EXPECT_EQ(rf_Ntag_Get_Version(0, data, &length), sim::kNotSupported);
}

}  // namespace
