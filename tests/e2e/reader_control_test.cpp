// Reader-control commands through library, transport and simulated reader:
// the exact request frames, the reply rules and what the reader does.
#include <gtest/gtest.h>

#include <cstring>

#include "support/sim_fixture.h"
#include "cards/toolkit.h"
#include "frame_codec.h"

namespace {

using sim::Bytes;

class ReaderControl : public kvtest::SimReaderTest {};

TEST_F(ReaderControl, BeepSendsTheWorkedFrameAndIsHeard) {
    takeRequests();
    ASSERT_EQ(rf_beep(0, 0x0A), 0);
    EXPECT_EQ(takeRequests(), (std::vector<Bytes>{{0x02, 0x00, 0x00, 0x04, 0x1D, 0x0A, 0x2B, 0x03}}));
    server->withReader([](sim::Reader& r) { EXPECT_EQ(r.events.back(), "beep 100 ms"); });
    EXPECT_EQ(rf_GetErrorMessage(), 0);
}

TEST_F(ReaderControl, DeviceNumberIsAskedAtAddressZeroAndCanBeChanged) {
    unsigned short number = 0xFFFF;
    takeRequests();
    ASSERT_EQ(rf_get_device_number(0x0203, &number), 0);
    EXPECT_EQ(takeRequests(), (std::vector<Bytes>{{0x02, 0x00, 0x00, 0x10, 0x03, 0x14, 0x17, 0x03}}));
    EXPECT_EQ(number, 0);

    ASSERT_EQ(rf_init_device_number(0, 0x0102), 0);
    const std::vector<Bytes> sent = takeRequests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(Bytes(sent[0].begin() + 5, sent[0].begin() + 8), (Bytes{0x10, 0x02, 0x01}));
    ASSERT_EQ(rf_get_device_number(0, &number), 0);
    EXPECT_EQ(number, 0x0102);

    // Frames for another address go unanswered; the new address works.
    EXPECT_EQ(rf_beep(0x0102, 1), 0);
}

TEST_F(ReaderControl, ModelAndSerialNumber) {
    unsigned char model[2] = {};
    ASSERT_EQ(rf_get_model(0, model), 0);
    EXPECT_EQ(model[0], 0x4B);
    EXPECT_EQ(model[1], 0x36);

    unsigned char snr[252] = {};
    int snr_len = -1;
    ASSERT_EQ(rf_get_snr(0, snr, &snr_len), 0);
    EXPECT_EQ(snr_len, 8);
    EXPECT_EQ(Bytes(snr, snr + 8), (Bytes{0x20, 0x26, 0x12, 0x07, 0x00, 0x00, 0x00, 0x01}));
}

TEST_F(ReaderControl, NullOutputsAndBadArgumentsAreRefusedWithoutSending) {
    takeRequests();
    rf_beep(0, 1);
    EXPECT_EQ(rf_get_model(0, nullptr), 1);
    EXPECT_EQ(rf_get_snr(0, nullptr, nullptr), 1);
    EXPECT_EQ(rf_get_device_number(0, nullptr), 1);
    EXPECT_EQ(rf_antenna_sta(0, 2), 1);
    EXPECT_EQ(rf_display(0, 1, 2, nullptr), 1);
    EXPECT_EQ(rf_flash_read(0, 0, 0, 4, nullptr), 1);
    EXPECT_EQ(rf_flash_write(0, 0, 0, 4, nullptr), 1);
    EXPECT_EQ(rf_change_wait_time(0, nullptr, 3), 1);
    EXPECT_EQ(door_acess(0, 0x1D, 1, nullptr, nullptr), 1);
    EXPECT_EQ(takeRequests().size(), 1u);  // only the beep
}

TEST_F(ReaderControl, RefusedArgumentsKeepTheLastStatus) {
    server->withReader([](sim::Reader& r) { r.card_family = 'A'; });
    EXPECT_EQ(rf_init_type(0, 'Z'), sim::kBadParameter);
    EXPECT_EQ(rf_GetErrorMessage(), sim::kBadParameter);
    EXPECT_EQ(rf_antenna_sta(0, 7), 1);
    EXPECT_EQ(rf_GetErrorMessage(), sim::kBadParameter);
}

TEST_F(ReaderControl, AntennaAndWaitTimeShareOneCode) {
    takeRequests();
    ASSERT_EQ(rf_antenna_sta(0, 0), 0);
    server->withReader([](sim::Reader& r) { EXPECT_FALSE(r.antenna); });
    const unsigned char timing[3] = {0x01, 0x02, 0x03};
    ASSERT_EQ(rf_change_wait_time(0, timing, 3), 0);
    server->withReader([](sim::Reader& r) { EXPECT_EQ(r.wait_time, (Bytes{0x01, 0x02, 0x03})); });
    const std::vector<Bytes> sent = takeRequests();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0][4], 0x05);
    EXPECT_EQ(sent[1][4], 0x05);
    ASSERT_EQ(rf_antenna_sta(0, 1), 0);
    server->withReader([](sim::Reader& r) { EXPECT_TRUE(r.antenna); });
}

TEST_F(ReaderControl, LampDisplayAndCardFamilyAreLogged) {
    const unsigned char text[3] = {'1', '2', '3'};
    ASSERT_EQ(rf_light(0, 2), 0);
    ASSERT_EQ(rf_display(0, 0x01, 0x02, text), 0);
    ASSERT_EQ(rf_init_type(0, '1'), 0);
    server->withReader([](sim::Reader& r) {
        ASSERT_GE(r.events.size(), 3u);
        EXPECT_EQ(r.events[r.events.size() - 3], "lamp 2");
        EXPECT_EQ(r.events[r.events.size() - 2], "display 01 02 31 32 33");
        EXPECT_EQ(r.card_family, '1');
    });
}

TEST_F(ReaderControl, FlashWritesSixtyFourBytesAtMostAndReadsBack) {
    unsigned char data[100];
    for (int i = 0; i < 100; ++i) data[i] = static_cast<unsigned char>(i);
    takeRequests();
    ASSERT_EQ(rf_flash_write(0, 0x0000, 0x0100, 100, data), 0);
    const std::vector<Bytes> sent = takeRequests();
    ASSERT_EQ(sent.size(), 1u);
    // Length byte 5 + 64 + 3 = 72 (0x48); payload starts 00 00 01 00 64.
    EXPECT_EQ(sent[0][3], 0x48);
    EXPECT_EQ(Bytes(sent[0].begin() + 5, sent[0].begin() + 10), (Bytes{0x00, 0x00, 0x01, 0x00, 0x64}));

    unsigned char back[64] = {};
    ASSERT_EQ(rf_flash_read(0, 0x0000, 0x0100, 64, back), 0);
    EXPECT_EQ(std::memcmp(back, data, 64), 0);
    unsigned char beyond[1] = {};
    ASSERT_EQ(rf_flash_read(0, 0x0000, 0x0140, 1, beyond), 0);
    EXPECT_EQ(beyond[0], 0xFF);  // the 36 bytes that did not travel were not written
}

TEST_F(ReaderControl, FlashOutsideTheMemoryIsTheReadersError) {
    unsigned char data[4] = {};
    EXPECT_EQ(rf_flash_read(0, 0x0001, 0x0000, 4, data), sim::kFlashRange);
    EXPECT_EQ(rf_flash_write(0, 0x0000, 0xFFFE, 4, data), sim::kFlashRange);
}

TEST_F(ReaderControl, DoorAcessHandsBackTheWholeBody) {
    const unsigned char duration = 5;
    unsigned char body[258] = {};
    ASSERT_EQ(door_acess(0, 0x1D, 1, &duration, body), 0);
    EXPECT_EQ(Bytes(body, body + 6), (Bytes{0x00, 0x00, 0x03, 0x1D, 0x00, 0x20}));

    // An unknown command: the reader's status arrives in byte 4, result 0.
    std::memset(body, 0, sizeof body);
    ASSERT_EQ(door_acess(0, 0xF7, 0, nullptr, body), 0);
    EXPECT_EQ(body[4], sim::kUnknownCommand);
}

TEST_F(ReaderControl, ReaderStatusIsReturnedAndRemembered) {
    EXPECT_EQ(rf_init_type(0, 'x'), sim::kBadParameter);
    EXPECT_EQ(rf_GetErrorMessage(), sim::kBadParameter);
    EXPECT_EQ(rf_beep(0, 1), 0);
    EXPECT_EQ(rf_GetErrorMessage(), 0);
}

TEST(Housekeeping, VersionAndNullPointers) {
    int version = 0;
    EXPECT_EQ(lib_ver(&version), 0);
    EXPECT_EQ(version, 19);
    EXPECT_EQ(lib_ver(nullptr), 1);
    EXPECT_EQ(rf_free(nullptr), 0);
}

TEST(Housekeeping, NoReaderMeansOneEverywhere) {
    kvtest::TempDir empty;
    kvtest::setEnvironment("TAVOHID_VIRTUAL_DIR", empty.path());
    EXPECT_EQ(rf_init_com(0, 0x1A86, 0xE010), 1);
    EXPECT_EQ(rf_beep(0, 1), 1);
    EXPECT_EQ(rf_GetErrorMessage(), 1);
    EXPECT_EQ(rf_ClosePort(), 0);
}

}  // namespace
