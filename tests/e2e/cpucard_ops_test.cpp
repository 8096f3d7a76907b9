// The reader's composite CPU-card and PSAM operations end to end, against a
// simulated card and SAM that check what they receive.
#include <cstring>

#include "processor_test_support.h"

using ptest::h;

namespace {

const sim::Bytes kKey = h("404142434445464748494A4B4C4D4E4F");
const sim::Bytes kPurse = h("2B7E151628AED2A6ABF7158809CF4F3C");
const sim::Bytes kTerminal = h("112233445566");
const sim::Bytes kDateTime = h("20261207203000");

class CpuCardOps : public ptest::ProcessorTest {
protected:
    void activate(const std::string& options = "") {
        place("cpu-a:uid=04A1B2C3,key=404142434445464748494A4B4C4D4E4F,key1=2B7E151628AED2A6ABF7158809CF4F3C,"
              "balance=1000" + options);
        family('A');
        ASSERT_EQ(rf_typea_rst(0, 0x52, buffer, &length), 0);
    }
    void resetSam(const std::string& options = "") {
        place("sam:slot=1,key=404142434445464748494A4B4C4D4E4F,key1=2B7E151628AED2A6ABF7158809CF4F3C,"
              "key2=404142434445464748494A4B4C4D4E4F" + options);
        const unsigned char param = 0x00;
        ASSERT_EQ(rf_sam_rst_2(0, &param, 1, buffer, &length), 0);
    }
    std::string sw() const { return sim::hex(sim::Bytes(buffer + length - 2, buffer + length)); }
    std::string body() const { return sim::hex(sim::Bytes(buffer, buffer + length - 2)); }
    void authenticate() { ASSERT_EQ(rf_CPUCard_Ext_Auth(0, 0, 0, 16, kKey.data(), buffer, &length), 0); }
};

TEST_F(CpuCardOps, FilesNeedTheirAccessConditions) {
    activate();
    ASSERT_EQ(rf_CPUCard_SeLectDF_Similar_M1(0, 0x01, buffer, &length), 0);
    EXPECT_EQ(sw(), "90 00");
    const unsigned char data[] = {0xCA, 0xFE, 0xBA, 0xBE};
    ASSERT_EQ(rf_CPUCard_Write_Bin_File(0, 0x00, 0x01, 2, 4, data, buffer, &length), 0);
    EXPECT_EQ(answer(), "69 82");
    authenticate();
    EXPECT_EQ(answer(), "90 00");
    ASSERT_EQ(rf_CPUCard_Write_Bin_File(0, 0x00, 0x01, 2, 4, data, buffer, &length), 0);
    EXPECT_EQ(answer(), "90 00");
    ASSERT_EQ(rf_CPUCard_Read_Bin_File(0, 0x00, 0x01, 0, 6, buffer, &length), 0);
    EXPECT_EQ(answer(), "00 00 CA FE BA BE 90 00");
    ASSERT_EQ(rf_CPUCard_Read_Record_Similar_M1(0, 0, buffer, &length), 0);
    EXPECT_EQ(length, 18);
    EXPECT_EQ(rf_CPUCard_Read_Record_Similar_M1(0, 16, buffer, &length), sim::kBadParameter);
    ASSERT_EQ(rf_CPUCard_Read_Bin_File(0, 0x12, 0x34, 0, 1, buffer, &length), 0);
    EXPECT_EQ(answer(), "6A 82");
    // Erase needs authentication again after the DF was selected anew.
    ASSERT_EQ(rf_CPUCard_SeLectDF_Similar_M1(0, 0x01, buffer, &length), 0);
    ASSERT_EQ(rf_CPUCard_Erase_DF(0, buffer, &length), 0);
    EXPECT_EQ(answer(), "69 82");
    authenticate();
    ASSERT_EQ(rf_CPUCard_Erase_DF(0, buffer, &length), 0);
    EXPECT_EQ(answer(), "90 00");
    ASSERT_EQ(rf_CPUCard_Read_Bin_File(0, 0x00, 0x01, 2, 2, buffer, &length), 0);
    EXPECT_EQ(answer(), "00 00 90 00");
}

TEST_F(CpuCardOps, PinRetriesChangeAndReload) {
    activate(",pin=1234,pin_tries=3");
    const unsigned char wrong[] = {0x99, 0x99}, right[] = {0x12, 0x34}, next[] = {0x56, 0x78, 0x90};
    ASSERT_EQ(rf_CPUCard_Verify_Pin(0, 0, 2, wrong, buffer, &length), 0);
    EXPECT_EQ(answer(), "63 C2");
    ASSERT_EQ(rf_CPUCard_Verify_Pin(0, 0, 2, wrong, buffer, &length), 0);
    EXPECT_EQ(answer(), "63 C1");
    ASSERT_EQ(rf_CPUCard_Verify_Pin(0, 0, 2, right, buffer, &length), 0);
    EXPECT_EQ(answer(), "90 00");
    ASSERT_EQ(rf_CPUCard_Change_Pin(0, 0, 2, right, 3, next, buffer, &length), 0);
    EXPECT_EQ(answer(), "90 00");
    for (const char* expected : {"63 C2", "63 C1", "63 C0", "69 83"}) {
        ASSERT_EQ(rf_CPUCard_Verify_Pin(0, 0, 2, right, buffer, &length), 0);
        EXPECT_EQ(answer(), expected);
    }
    // The reload key (16 x FF by default) unblocks with a new PIN.
    const sim::Bytes reload(16, 0xFF);
    ASSERT_EQ(rf_CPUCard_PinReload(0, 0, h("00112233445566778899AABBCCDDEEFF").data(), 2, right, buffer, &length), 0);
    EXPECT_EQ(answer(), "69 88");
    ASSERT_EQ(rf_CPUCard_PinReload(0, 0, reload.data(), 2, right, buffer, &length), 0);
    EXPECT_EQ(answer(), "90 00");
    ASSERT_EQ(rf_CPUCard_Verify_Pin(0, 0, 2, right, buffer, &length), 0);
    EXPECT_EQ(answer(), "90 00");
    // The PIN-protected file opens now.
    ASSERT_EQ(rf_CPUCard_SeLectDF_Similar_M1(0, 0x01, buffer, &length), 0);
    ASSERT_EQ(rf_CPUCard_Verify_Pin(0, 0, 2, right, buffer, &length), 0);
    ASSERT_EQ(rf_CPUCard_Read_Bin_File(0, 0x00, 0x02, 0, 2, buffer, &length), 0);
    EXPECT_EQ(answer(), "00 00 90 00");
}

TEST_F(CpuCardOps, PurseWithTheHostKey) {
    activate();
    ASSERT_EQ(rf_CPUCard_ReadVal(0, 2, buffer, &length), 0);
    EXPECT_EQ(answer(), "00 00 03 E8 90 00");
    const sim::Bytes credit = h("000001F4"), debit = h("00000064"), aux = h("00000009");
    ASSERT_EQ(rf_CPUCard_increment(0, 1, 0x02, credit.data(), kTerminal.data(), kDateTime.data(), 16, kPurse.data(),
                                   buffer, &length), 0);
    ASSERT_EQ(length, 10);
    EXPECT_EQ(sim::hex(buffer, 4), "00 00 05 DC");
    EXPECT_EQ(sw(), "90 00");
    ASSERT_EQ(rf_CPUCard_decrement(0, 1, 0x06, debit.data(), kTerminal.data(), kDateTime.data(), aux.data(), 16,
                                   kPurse.data(), buffer, &length), 0);
    ASSERT_EQ(length, 10);
    EXPECT_EQ(sim::hex(buffer, 4), "00 00 05 78");
    const std::string debit_answer = answer();
    // The proof of the debit (serial 1) repeats its answer.
    const unsigned char serial[] = {0x00, 0x01};
    ASSERT_EQ(rf_CPUCard_Get_TAProve(0, 0x06, serial, buffer, &length), 0);
    EXPECT_EQ(answer(), debit_answer);
    // A wrong key makes a MAC the card refuses; a large debit is refused.
    ASSERT_EQ(rf_CPUCard_increment(0, 1, 0x02, credit.data(), kTerminal.data(), kDateTime.data(), 16, kKey.data(),
                                   buffer, &length), 0);
    EXPECT_EQ(answer(), "69 88");
    const sim::Bytes large = h("00010000");
    ASSERT_EQ(rf_CPUCard_decrement(0, 1, 0x06, large.data(), kTerminal.data(), kDateTime.data(), aux.data(), 16,
                                   kPurse.data(), buffer, &length), 0);
    EXPECT_EQ(answer(), "94 01");
    ASSERT_EQ(rf_CPUCard_ReadVal(0, 2, buffer, &length), 0);
    EXPECT_EQ(answer(), "00 00 05 78 90 00");
}

TEST_F(CpuCardOps, PurseWithTheSamsMac) {
    activate();
    resetSam();
    const sim::Bytes amount = h("00000010"), aux = h("01020304");
    ASSERT_EQ(rf_CPUCard_increment_AuthBySam(0, 1, 0x02, 0, amount.data(), kTerminal.data(), kDateTime.data(), buffer,
                                             &length), 0);
    EXPECT_EQ(sim::hex(buffer, 4), "00 00 03 F8");
    ASSERT_EQ(rf_CPUCard_decrement_AuthBySam(0, 1, 0x06, 0, amount.data(), kTerminal.data(), kDateTime.data(),
                                             aux.data(), buffer, &length), 0);
    EXPECT_EQ(sim::hex(buffer, 4), "00 00 03 E8");
    EXPECT_EQ(sw(), "90 00");
    EXPECT_EQ(rf_CPUCard_increment_AuthBySam(0, 1, 0x02, 4, amount.data(), kTerminal.data(), kDateTime.data(), buffer,
                                             &length), sim::kSlotEmpty);
}

TEST_F(CpuCardOps, SamComputesThePurseMacUnderTheScatteredKey) {
    resetSam();
    const sim::Bytes random = h("A1A2A3A4"), serial = h("0007"), aux4 = h("00000001"), aux2 = h("0002");
    const sim::Bytes amount = h("00000100"), div = h("04A1B2C300000000");
    ASSERT_EQ(rf_PSAMCalIncMac(0, 0, 1, random.data(), serial.data(), aux4.data(), amount.data(), 0x02,
                               kTerminal.data(), kDateTime.data(), 8, div.data(), buffer, &length), 0);
    ASSERT_EQ(length, 6);
    // Computed once with OpenSSL's DES: the key 2B7E..4F3C scattered over
    // 04A1B2C300000000 (3DES of the block and of its complement) is
    // 5499A5F0453365A3 4DD478D350113000; the retail MAC (ISO/IEC 9797-1
    // padding 2, algorithm 3, zero IV) under it over A1A2A3A4 0007 00000001
    // 00000100 02 112233445566 20261207203000 begins 5CF8F674.
    EXPECT_EQ(sim::hex(buffer, 4), "5C F8 F6 74");
    ASSERT_EQ(rf_PSAMCalDecMac(0, 0, 1, random.data(), serial.data(), aux2.data(), amount.data(), 0x06,
                               kTerminal.data(), kDateTime.data(), 0, nullptr, buffer, &length), 0);
    EXPECT_EQ(sw(), "90 00");
    ASSERT_EQ(rf_PSAMCalDecMac(0, 0, 1, random.data(), serial.data(), aux2.data(), amount.data(), 0x06,
                               kTerminal.data(), kDateTime.data(), 3, div.data(), buffer, &length), 0);
    EXPECT_EQ(answer(), "67 00");
}

TEST_F(CpuCardOps, ExternalAuthenticationByHostKeyAndBySam) {
    activate(",diversify=1");
    ASSERT_EQ(rf_CPUCard_Ext_Auth(0, 0, 0, 16, kKey.data(), buffer, &length), 0);
    EXPECT_EQ(answer(), "63 C2");
    ASSERT_EQ(rf_CPUCard_Ext_Auth(0, 0, 1, 16, kKey.data(), buffer, &length), 0);
    EXPECT_EQ(answer(), "90 00");
    EXPECT_EQ(rf_CPUCard_Ext_Auth_By_SAM(0, 0, 0, 2, 1, buffer, &length), sim::kSlotEmpty);
    resetSam();
    ASSERT_EQ(rf_CPUCard_Ext_Auth_By_SAM(0, 0, 0, 2, 1, buffer, &length), 0);
    EXPECT_EQ(answer(), "90 00");
    ASSERT_EQ(rf_CPUCard_Ext_Auth_By_SAM(0, 0, 0, 2, 0, buffer, &length), 0);
    EXPECT_EQ(answer(), "63 C2");
    ASSERT_EQ(rf_CPUCard_Ext_Auth_By_SAM(0, 0, 0, 9, 0, buffer, &length), 0);
    EXPECT_EQ(answer(), "6A 88");  // the SAM has no key 9
    ASSERT_EQ(rf_CPUCard_Get_Rnd(0, 8, buffer, &length), 0);
    EXPECT_EQ(length, 10);
    ASSERT_EQ(rf_CPUCard_Get_Rnd(0, 5, buffer, &length), 0);
    EXPECT_EQ(answer(), "67 00");
}

TEST_F(CpuCardOps, SectorApplicationKeys) {
    activate();
    const sim::Bytes des = h("0123456789ABCDEF"), other = h("FEDCBA9876543210");
    ASSERT_EQ(rf_CPUCard_Init_Similar_M1(0, 5, 3, 8, des.data(), buffer, &length), 0);
    EXPECT_EQ(answer(), "90 00");
    ASSERT_EQ(rf_CPUCard_ChangeKey_Similar_M1(0, 5, 8, other.data(), buffer, &length), 0);
    EXPECT_EQ(answer(), "69 82");
    ASSERT_EQ(rf_CPUCard_Ext_Auth(0, 5, 0, 8, des.data(), buffer, &length), 0);
    EXPECT_EQ(answer(), "90 00");
    ASSERT_EQ(rf_CPUCard_ChangeKey_Similar_M1(0, 5, 8, other.data(), buffer, &length), 0);
    EXPECT_EQ(answer(), "90 00");
    ASSERT_EQ(rf_CPUCard_Ext_Auth(0, 5, 0, 8, other.data(), buffer, &length), 0);
    EXPECT_EQ(answer(), "90 00");
}

TEST_F(CpuCardOps, WiegandRecordRoundTrip) {
    activate();
    const unsigned char number[] = {0x12, 0x34, 0x56};
    ASSERT_EQ(rf_CPU_Init_For_Wiegand_Reader(0, 26, number, 3, buffer, &length), 0);
    EXPECT_EQ(answer(), "90 00");
    ASSERT_EQ(rf_CPU_ReadData_From_Wiegand_Tag(0, buffer, &length), 0);
    EXPECT_EQ(answer(), "1A 03 12 34 56 90 00");
    const unsigned char patch[] = {0xAB};
    ASSERT_EQ(rf_CPU_UpdataData_For_Wiegand_Reader(0, 1, patch, 1, buffer, &length), 0);
    ASSERT_EQ(rf_CPU_ReadData_From_Wiegand_Tag(0, buffer, &length), 0);
    EXPECT_EQ(answer(), "1A 03 12 AB 56 90 00");
}

TEST_F(CpuCardOps, PsamFilesKeysAndCrypto) {
    EXPECT_EQ(rf_PSAM_Erase_DF(0, 0, buffer, &length), sim::kSlotEmpty);
    place("sam:slot=1,key=404142434445464748494A4B4C4D4E4F,key2=404142434445464748494A4B4C4D4E4F");
    EXPECT_EQ(rf_PSAM_Erase_DF(0, 0, buffer, &length), sim::kNotActivated);
    const unsigned char param = 0x00;
    ASSERT_EQ(rf_sam_rst_2(0, &param, 1, buffer, &length), 0);
    const unsigned char data[] = {0x01, 0x02, 0x03};
    ASSERT_EQ(rf_PSAM_Write_Bin_File(0, 0, 0x00, 0x01, 0, 3, data, buffer, &length), 0);
    EXPECT_EQ(answer(), "6A 82");  // 0001 lies in DF01
    ASSERT_EQ(rf_PSAM_SeLectDF_For_Similar_M1(0, 0, 0x01, buffer, &length), 0);
    EXPECT_EQ(sw(), "90 00");
    ASSERT_EQ(rf_PSAM_Write_Bin_File(0, 0, 0x00, 0x01, 0, 3, data, buffer, &length), 0);
    EXPECT_EQ(answer(), "69 82");
    ASSERT_EQ(rf_PSAM_Ext_Auth(0, 0, 0, 1, 16, kKey.data(), buffer, &length), 0);
    EXPECT_EQ(answer(), "90 00");
    ASSERT_EQ(rf_PSAM_Write_Bin_File(0, 0, 0x00, 0x01, 0, 3, data, buffer, &length), 0);
    EXPECT_EQ(answer(), "90 00");
    ASSERT_EQ(rf_PSAM_Read_Bin_File(0, 0, 0x00, 0x01, 1, 2, buffer, &length), 0);
    EXPECT_EQ(answer(), "02 03 90 00");
    // Internal authentication and key scattering. Expected blocks computed
    // once with OpenSSL's two-key 3DES (DES_ecb2_encrypt): 0011223344556677
    // under 4041..4E4F; and under that key scattered over 04A1B2C300000000,
    // which is 2BF6F8E72FA2C838 C7D7CD106FA958DD.
    const sim::Bytes block = h("0011223344556677");
    ASSERT_EQ(rf_PSAM_InternalAuth(0, 0, 2, 0, 8, block.data(), buffer, &length), 0);
    EXPECT_EQ(body(), "62 60 E7 C6 A3 E3 37 6E");
    const sim::Bytes scatter_in = h("04A1B2C300000000 0011223344556677");
    ASSERT_EQ(rf_PSAMKeyScatter(0, 0, 2, 1, 16, scatter_in.data(), buffer, &length), 0);
    EXPECT_EQ(body(), "E8 A4 F0 50 E5 A4 AF 75");
    // Keys: install, change after authentication.
    const sim::Bytes key16 = h("000102030405060708090A0B0C0D0E0F");
    ASSERT_EQ(rf_PSAM_Init_For_Similar_M1(0, 0, 7, 3, 16, key16.data(), buffer, &length), 0);
    EXPECT_EQ(answer(), "90 00");
    ASSERT_EQ(rf_PSAM_ChangeKey_For_Similar_M1(0, 0, 7, 16, kKey.data(), buffer, &length), 0);
    EXPECT_EQ(answer(), "90 00");  // still authenticated in DF01
    ASSERT_EQ(rf_PSAM_Ext_Auth(0, 0, 7, 0, 16, kKey.data(), buffer, &length), 0);
    EXPECT_EQ(answer(), "90 00");
    ASSERT_EQ(rf_PSAM_Erase_DF(0, 0, buffer, &length), 0);
    EXPECT_EQ(answer(), "90 00");
    ASSERT_EQ(rf_PSAM_Read_Bin_File(0, 0, 0x00, 0x01, 0, 3, buffer, &length), 0);
    EXPECT_EQ(answer(), "00 00 00 90 00");
}

}  // namespace
