// Payload layouts and length limits of the CPU-card, PSAM and Wiegand
// helpers: over-long data is refused with -2 (or 1 for a key of the wrong
// size) before anything is sent, and the last status is left alone.
#include <functional>

#include "processor_test_support.h"

namespace {

class CpuCardLimits : public ptest::ProcessorTest {
protected:
    unsigned char data[256] = {};
    unsigned char* r = buffer;
    unsigned char* n = &length;
};

TEST_F(CpuCardLimits, OverLongLengthsAreRefusedUnsent) {
    // Leave a known last status behind.
    unsigned char atqb[12];
    ASSERT_EQ(rf_atqb(0, 0, atqb, &length), sim::kNoCard);
    takeRequests();
    const unsigned char* d = data;
    const std::vector<std::pair<int, std::function<int()>>> cases = {
        {-2, [&] { return rf_CPUCard_Verify_Pin(0, 0, 9, d, r, n); }},
        {-2, [&] { return rf_CPUCard_Change_Pin(0, 0, 9, d, 6, d, r, n); }},
        {-2, [&] { return rf_CPUCard_Change_Pin(0, 0, 6, d, 9, d, r, n); }},
        {-2, [&] { return rf_CPUCard_PinReload(0, 0, d, 9, d, r, n); }},
        {-2, [&] { return rf_CPUCard_Write_Bin_File(0, 0, 0, 0, 249, d, r, n); }},
        {-2, [&] { return rf_CPUCard_Write_Bin_File(0, 0, 0, 0, 250, d, r, n); }},
        {-2, [&] { return rf_CPUCard_increment(0, 0, 0, d, d, d, 17, d, r, n); }},
        {-2, [&] { return rf_CPUCard_decrement(0, 0, 0, d, d, d, d, 17, d, r, n); }},
        {-2, [&] { return rf_CPUCard_Init_Similar_M1(0, 0, 0, 9, d, r, n); }},
        {-2, [&] { return rf_CPUCard_ChangeKey_Similar_M1(0, 0, 19, d, r, n); }},
        {-2, [&] { return rf_PSAM_Init_For_Similar_M1(0, 0, 0, 0, 18, d, r, n); }},
        {-2, [&] { return rf_PSAM_ChangeKey_For_Similar_M1(0, 0, 0, 18, d, r, n); }},
        {-2, [&] { return rf_PSAM_InternalAuth(0, 0, 0, 0, 17, d, r, n); }},
        {-2, [&] { return rf_PSAMCalIncMac(0, 0, 0, d, d, d, d, 0, d, d, 25, d, r, n); }},
        {-2, [&] { return rf_PSAMCalDecMac(0, 0, 0, d, d, d, d, 0, d, d, 25, d, r, n); }},
        {-2, [&] { return rf_PSAMKeyScatter(0, 0, 0, 0, 77, d, r, n); }},
        {-2, [&] { return rf_PSAM_Write_Bin_File(0, 0, 0, 0, 0, 248, d, r, n); }},
        {-2, [&] { return rf_CPU_Init_For_Wiegand_Reader(0, 0, d, 49, r, n); }},
        {-2, [&] { return rf_CPU_UpdataData_For_Wiegand_Reader(0, 0, d, 49, r, n); }},
        {1, [&] { return rf_CPUCard_Ext_Auth(0, 0, 0, 12, d, r, n); }},
        {1, [&] { return rf_PSAM_Ext_Auth(0, 0, 0, 0, 12, d, r, n); }},
        {1, [&] { return rf_CPUCard_Ext_Auth(0, 0, 0, 8, nullptr, r, n); }},
        {1, [&] { return rf_CPUCard_Get_Rnd(0, 8, nullptr, n); }},
        {1, [&] { return rf_CPUCard_ReadVal(0, 2, r, nullptr); }},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(cases[i].second(), cases[i].first) << "case " << i;
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(rf_GetErrorMessage(), sim::kNoCard);
}

TEST_F(CpuCardLimits, PayloadsAtTheLimitsGoOutAsLaidOut) {
    for (int i = 0; i < 256; ++i) data[i] = static_cast<unsigned char>(i);
    const unsigned char* d = data;
    // Without a card the reader refuses each, but after it saw the request.
    rf_CPUCard_Verify_Pin(0, 0x01, 8, d, r, n);
    rf_CPUCard_Change_Pin(0, 0x02, 2, d, 3, d + 10, r, n);
    rf_CPUCard_Init_Similar_M1(0, 0x03, 0x04, 4, d, r, n);
    rf_PSAM_Init_For_Similar_M1(0, 0x05, 0x06, 0x07, 2, d, r, n);
    rf_PSAMCalIncMac(0, 0x08, 0x09, d, d + 4, d + 6, d + 10, 0x0A, d + 14, d + 20, 0, d, r, n);
    rf_CPU_Init_For_Wiegand_Reader(0, 0x1A, d, 3, r, n);
    rf_CPUCard_Get_TAProve(0, 0x06, d + 1, r, n);
    rf_CPUCard_Erase_DF(0, r, n);
    rf_CPUCard_Ext_Auth(0, 0x00, 0x01, 8, d, r, n);
    EXPECT_EQ(sent(), (std::vector<std::string>{
                          wire(0xD6, "0108 0001020304050607"),
                          wire(0xD7, "02 02 0001 03 0A0B0C"),
                          wire(0xD3, "0304 00010203"),
                          wire(0xB2, "050607 0001"),
                          wire(0xB6, "0809 00010203 0405 06070809 0A0B0C0D 0A 0E0F10111213 1415161718191A 00"),
                          wire(0xE4, "1A 03 000102"),
                          wire(0xDF, "06 0102"),
                          wire(0xD2, ""),
                          wire(0xD0, "000108 0001020304050607"),
                      }));
    // Sizes: the largest accepted data make payloads of at most one frame.
    rf_CPUCard_Write_Bin_File(0, 0, 0, 0, 248, d, r, n);
    rf_PSAM_Write_Bin_File(0, 0, 0, 0, 0, 247, d, r, n);
    rf_PSAMCalDecMac(0, 0, 0, d, d, d, d, 0, d, d, 24, d, r, n);
    rf_PSAMCalIncMac(0, 0, 0, d, d, d, d, 0, d, d, 24, d, r, n);
    rf_PSAMKeyScatter(0, 0, 0, 0, 76, d, r, n);
    rf_CPUCard_increment_AuthBySam(0, 0, 0, 0, d, d, d, r, n);
    rf_CPUCard_decrement_AuthBySam(0, 0, 0, 0, d, d, d, d, r, n);
    rf_CPUCard_increment(0, 0, 0, d, d, d, 16, d, r, n);
    rf_CPUCard_decrement(0, 0, 0, d, d, d, d, 16, d, r, n);
    rf_CPUCard_PinReload(0, 0, d, 8, d, r, n);
    std::vector<std::size_t> sizes;
    common::FrameDecoder decoder;
    for (const sim::Bytes& raw : takeRequests()) {
        std::vector<common::DecodedFrame> frames;
        decoder.feed(raw.data(), raw.size(), frames);
        for (const auto& f : frames) sizes.push_back(f.command.payload.size());
    }
    EXPECT_EQ(sizes, (std::vector<std::size_t>{252, 252, 53, 55, 80, 20, 24, 36, 40, 26}));
}

}  // namespace
