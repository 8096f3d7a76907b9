// Every type A, Mifare Classic, one-shot and Ultralight/NTAG export sends
// exactly its code and payload; refused arguments send nothing.
#include <functional>
#include <numeric>

#include "cards/toolkit.h"
#include "support/sim_fixture.h"
#include "frame_codec.h"

namespace {

using sim::Bytes;

Bytes seq(std::size_t n, std::uint8_t first = 0) {
    Bytes b(n);
    std::iota(b.begin(), b.end(), first);
    return b;
}
Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

const Bytes kKey = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5};
const Bytes kKeys96 = seq(96, 0x40);
const Bytes kKeys12 = seq(12, 0x80);
const Bytes kData16 = seq(16, 0x20);
const Bytes kData48 = seq(48, 0x60);
const Bytes kData224 = seq(224, 0x01);
const Bytes kKey16 = seq(16, 0xC0);
const Bytes kPage = {0x0A, 0x0B, 0x0C, 0x0D};
const Bytes kUid = {0x11, 0x22, 0x33, 0x44};

struct Sent {
    const char* name;
    std::function<void()> call;
    std::uint8_t code;
    Bytes payload;
};

class TypeARequests : public kvtest::SimReaderTest {
protected:
    unsigned char out[256] = {};
    unsigned char len = 0;
    int value = 0;
};

TEST_F(TypeARequests, EachExportSendsItsCodeAndPayload) {
    const unsigned char* k = kKey.data();
    const std::vector<Sent> cases = {
        {"rf_request 0x26", [&] { rf_request(0, 0x26, out); }, 0x46, {0x26}},
        {"rf_request 0x00", [&] { rf_request(0, 0x00, out); }, 0x46, {0x52}},
        {"rf_request 0xD2", [&] { rf_request(0, 0xD2, out); }, 0x46, {0xD2}},
        {"rf_request1", [&] { rf_request1(0, 0x13, out, &len); }, 0x8C, {0x52}},
        {"rf_request1 0xA6", [&] { rf_request1(0, 0xA6, out, &len); }, 0x8C, {0xA6}},
        {"rf_anticoll", [&] { rf_anticoll(0, 7, out, &len); }, 0x47, {0x07}},
        {"rf_select", [&] { rf_select(0, kUid.data(), 4, out); }, 0x48, kUid},
        {"rf_select empty", [&] { rf_select(0, kUid.data(), 0, out); }, 0x48, {}},
        {"rf_halt", [&] { rf_halt(0); }, 0x29, {}},
        {"rf_M1_Halt_same_K62TX", [&] { rf_M1_Halt_same_K62TX(0); }, 0x29, {}},
        {"rf_check_card", [&] { rf_check_card(0, out); }, 0x63, {}},
        {"rf_request_080", [&] { rf_request_080(0, 0x52, 0x01, out, &len); }, 0x70, {0x52, 0x01}},
        {"rf_download_key", [&] { rf_download_key(0, 'B', kKeys96.data()); }, 0x2A, cat({{0x42}, kKeys96})},
        {"rf_download_key2", [&] { rf_download_key2(0, 39, kKeys12.data()); }, 0x83, cat({{39}, kKeys12})},
        {"rf_download_key3", [&] { rf_download_key3(0, 0x61, 39, k); }, 0x2E, cat({{0x61, 39}, kKey})},
        {"rf_M1_authentication1", [&] { rf_M1_authentication1(0, 'A', 5); }, 0x49, {0x41, 0x05}},
        {"rf_M1_authentication2", [&] { rf_M1_authentication2(0, 0x60, 9, k); }, 0x4A, cat({{0x60, 9}, kKey})},
        {"rf_M1_authentication3", [&] { rf_M1_authentication3(0, 0x61, 2); }, 0x84, {0x61, 0x02}},
        {"rf_change_key 97", [&] { rf_change_key(0, 97, kKeys96.data()); }, 0x5C, cat({{97}, kKeys96})},
        {"rf_change_key 7", [&] { rf_change_key(0, 7, kKeys96.data()); }, 0x5C, cat({{7}, seq(6, 0x40)})},
        {"rf_change_key 0", [&] { rf_change_key(0, 0, nullptr); }, 0x5C, {}},
        {"rf_M1_read", [&] { rf_M1_read(0, 4, out, &len); }, 0x4B, {0x04}},
        {"rf_M1_write", [&] { rf_M1_write(0, 4, kData16.data()); }, 0x4C, cat({{4}, kData16})},
        {"rf_M1_initval 1", [&] { rf_M1_initval(0, 5, 1); }, 0x4D, {5, 0x01, 0x00, 0x00, 0x00}},
        {"rf_M1_initval -1", [&] { rf_M1_initval(0, 5, -1); }, 0x4D, {5, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"rf_M1_readval", [&] { rf_M1_readval(0, 5, &value); }, 0x4E, {5}},
        {"rf_M1_decrement", [&] { rf_M1_decrement(0, 5, 0x01020304); }, 0x4F, {5, 0x04, 0x03, 0x02, 0x01}},
        {"rf_M1_increment", [&] { rf_M1_increment(0, 6, 258); }, 0x50, {6, 0x02, 0x01, 0x00, 0x00}},
        {"rf_M1_restore", [&] { rf_M1_restore(0, 5); }, 0x51, {5}},
        {"rf_M1_transfer", [&] { rf_M1_transfer(0, 6); }, 0x52, {6}},
        {"rf_M1_InitCard", [&] { rf_M1_InitCard(0, 8, kData16.data()); }, 0x1F, cat({{8}, kData16})},
        {"rf_time_read", [&] { rf_time_read(0, 3, out, &len); }, 0x56, {3}},
        {"rf_time_write", [&] { rf_time_write(0, 3, kData16.data()); }, 0x57, cat({{3}, kData16})},
        {"value_sum_read", [&] { value_sum_read(0, 2, out, &len); }, 0x58, {2}},
        {"value_sum_write", [&] { value_sum_write(0, 2, kData16.data()); }, 0x59, cat({{2}, kData16})},
        {"rf_flash_card_read", [&] { rf_flash_card_read(0, 0x0102, 0x10, 0x20, out); }, 0x64, {1, 2, 0x10, 0x20}},
        {"rf_flash_card_write", [&] { rf_flash_card_write(0, 0x0102, 32, 224, kData224.data()); }, 0x65,
         cat({{1, 2, 32, 224}, kData224})},
        {"rf_request_same_K62TX", [&] { rf_request_same_K62TX(0, 0x13, out, &len); }, 0x20, {0x13}},
        {"rf_M1_read_same_K62TX", [&] { rf_M1_read_same_K62TX(0, 0x60, 4, k, out, &len); }, 0x21,
         cat({{0x60, 4}, kKey})},
        {"rf_M1_read_sector_same_K62TX", [&] { rf_M1_read_sector_same_K62TX(0, 0x61, 2, k, out, &len); }, 0x22,
         cat({{0x61, 2}, kKey})},
        {"rf_M1_write_same_K62TX", [&] { rf_M1_write_same_K62TX(0, 0x60, 4, k, kData16.data()); }, 0x23,
         cat({{0x60, 4}, kKey, kData16})},
        {"rf_M1_write_sector_same_K62TX", [&] { rf_M1_write_sector_same_K62TX(0, 0x60, 1, k, kData48.data()); },
         0x2E, cat({{0x60, 1}, kKey, kData48})},
        {"rf_M1_Init_Purse_same_K62TX", [&] { rf_M1_Init_Purse_same_K62TX(0, 0x60, 5, k, -2); }, 0x24,
         cat({{0x60, 5}, kKey, {0xFE, 0xFF, 0xFF, 0xFF}})},
        {"rf_M1_Read_Purse_same_K62TX", [&] { rf_M1_Read_Purse_same_K62TX(0, 0x60, 5, k, &value); }, 0x25,
         cat({{0x60, 5}, kKey})},
        {"rf_M1_Inc_Purse_same_K62TX", [&] { rf_M1_Inc_Purse_same_K62TX(0, 0x99, 5, k, 7); }, 0x26,
         cat({{0x99, 5}, kKey, {7, 0, 0, 0}})},
        {"rf_M1_Dec_Purse_same_K62TX", [&] { rf_M1_Dec_Purse_same_K62TX(0, 0x61, 5, k, 0x100); }, 0x27,
         cat({{0x61, 5}, kKey, {0, 1, 0, 0}})},
        {"rf_M1_Backup_Purse_same_K62TX", [&] { rf_M1_Backup_Purse_same_K62TX(0, 0x61, 5, 6, k); }, 0x28,
         cat({{0x61, 5, 6}, kKey})},
        {"rf_ul_select", [&] { rf_ul_select(0, out, &len); }, 0x33, {}},
        {"rf_ul_write", [&] { rf_ul_write(0, 7, kPage.data()); }, 0x35, cat({{7}, kPage})},
        {"rf_Ul_C_Authentication", [&] { rf_Ul_C_Authentication(0, 0, kKey16.data()); }, 0x93, cat({{0}, kKey16})},
        {"rf_Ul_C_ModifyKey", [&] { rf_Ul_C_ModifyKey(0, 1, kKey16.data()); }, 0x94, cat({{1}, kKey16})},
        {"rf_Ul_C_Init", [&] { rf_Ul_C_Init(0, 0x30, 1, 2, kKey16.data()); }, 0x95, cat({{0x30, 1, 2}, kKey16})},
        {"rf_Ul_C_Lock_Page", [&] { rf_Ul_C_Lock_Page(0, 2, kPage.data()); }, 0x96, cat({{2}, kPage})},
        {"rf_NFC_Select_Sector", [&] { rf_NFC_Select_Sector(0, 3); }, 0x86, {3}},
        {"rf_Ntag_Get_Version", [&] { rf_Ntag_Get_Version(0, out, &len); }, 0x87, {}},
        {"rf_Ntag_Fast_Read", [&] { rf_Ntag_Fast_Read(0, 4, 7, out, &len); }, 0x88, {4, 7}},
        {"rf_Ntag_Read_CNT", [&] { rf_Ntag_Read_CNT(0, out, &len); }, 0x89, {}},
        {"rf_Ntag_Password_Auth", [&] { rf_Ntag_Password_Auth(0, kPage.data(), out, &len); }, 0x8A, kPage},
        {"rf_Ntag_Read_Signature", [&] { rf_Ntag_Read_Signature(0, out, &len); }, 0x8B, {}},
    };
    for (const Sent& c : cases) {
        takeRequests();
        c.call();
        const auto frames = takeRequests();
        ASSERT_EQ(frames.size(), 1u) << c.name;
        EXPECT_EQ(sim::hex(frames[0]), sim::hex(common::encodeRequest(0, c.code, c.payload))) << c.name;
    }
}

TEST_F(TypeARequests, RefusedArgumentsSendNothingAndKeepTheLastStatus) {
    const unsigned char* k = kKey.data();
    unsigned char tag_type[4] = {};
    rf_M1_read(0, 4, out, &len);  // no card selected: the reader's status becomes the last status
    const int last = rf_GetErrorMessage();
    ASSERT_EQ(last, sim::kNotSelected);
    const std::vector<std::pair<const char*, std::function<int()>>> refused = {
        {"rf_request null", [&] { return rf_request(0, 0x26, nullptr); }},
        {"rf_anticoll 5", [&] { return rf_anticoll(0, 5, out, &len); }},
        {"rf_download_key 0x60", [&] { return rf_download_key(0, 0x60, kKeys96.data()); }},
        {"rf_download_key null", [&] { return rf_download_key(0, 'A', nullptr); }},
        {"rf_download_key2 40", [&] { return rf_download_key2(0, 40, kKeys12.data()); }},
        {"rf_download_key3 slot 40", [&] { return rf_download_key3(0, 0x60, 40, k); }},
        {"rf_download_key3 'A'", [&] { return rf_download_key3(0, 'A', 1, k); }},
        {"rf_M1_authentication1 0x60", [&] { return rf_M1_authentication1(0, 0x60, 1); }},
        {"rf_M1_authentication2 'A'", [&] { return rf_M1_authentication2(0, 'A', 4, k); }},
        {"rf_M1_authentication3 slot 40", [&] { return rf_M1_authentication3(0, 0x60, 40); }},
        {"rf_M1_authentication3 'A'", [&] { return rf_M1_authentication3(0, 'A', 1); }},
        {"rf_change_key 98", [&] { return rf_change_key(0, 98, kKeys96.data()); }},
        {"rf_change_key null keys", [&] { return rf_change_key(0, 2, nullptr); }},
        {"rf_flash_card_write 200+57", [&] { return rf_flash_card_write(0, 0, 200, 57, kData224.data()); }},
        {"rf_flash_card_write 225", [&] { return rf_flash_card_write(0, 0, 0, 225, kData224.data()); }},
        {"rf_flash_card_read 201", [&] { return rf_flash_card_read(0, 0, 0, 201, out); }},
        {"rf_flash_card_read 250+7", [&] { return rf_flash_card_read(0, 0, 250, 7, out); }},
        {"rf_request_same_K62TX null", [&] { return rf_request_same_K62TX(0, 0x26, nullptr, &len); }},
        {"rf_M1_write null", [&] { return rf_M1_write(0, 4, nullptr); }},
        {"rf_M1_read null", [&] { return rf_M1_read(0, 4, nullptr, &len); }},
        {"rf_M1_readval null", [&] { return rf_M1_readval(0, 4, nullptr); }},
        {"rf_M1_write_same_K62TX null key",
         [&] { return rf_M1_write_same_K62TX(0, 0x60, 4, nullptr, kData16.data()); }},
        {"rf_select null", [&] { return rf_select(0, nullptr, 4, out); }},
        {"rf_request_080 null length", [&] { return rf_request_080(0, 0x52, 0, out, nullptr); }},
        {"rf_ul_select null", [&] { return rf_ul_select(0, nullptr, &len); }},
        {"rf_Ntag_Password_Auth null", [&] { return rf_Ntag_Password_Auth(0, nullptr, out, &len); }},
        {"rf_getlockcardinfo null", [&] { return rf_getlockcardinfo(0, 0x52, nullptr, &len, tag_type); }},
    };
    takeRequests();
    for (const auto& [name, call] : refused) {
        EXPECT_EQ(call(), 1) << name;
        EXPECT_TRUE(takeRequests().empty()) << name;
        EXPECT_EQ(rf_GetErrorMessage(), last) << name;
    }
}

TEST_F(TypeARequests, BoundaryArgumentsAreSent) {
    // The largest accepted values of each refusal test still go out.
    EXPECT_NE(rf_download_key3(0, 0x60, 39, kKey.data()), 1);
    EXPECT_EQ(rf_flash_card_write(0, 0, 32, 224, kData224.data()), sim::kNotSelected);
    EXPECT_EQ(rf_flash_card_read(0, 0, 56, 200, out), sim::kNotSelected);
    EXPECT_EQ(takeRequests().size(), 3u);
}

}  // namespace
