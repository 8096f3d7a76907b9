// The card operating system's file system, addressing and status words.
#include <gtest/gtest.h>

#include "cards/cpu_card.h"
#include "cos_test_support.h"

using costest::h;
using costest::run;

namespace {

class CosFiles : public ::testing::Test {
protected:
    CosFiles() : cos(sim::Cos::Role::card) {
        cos.setKey(0, sim::Bytes(16, 0xFF), 3);
        cos.setPin(h("123456"), 3);
        sim::standardCardFiles(cos);
    }
    sim::Cos cos;
};

TEST_F(CosFiles, SelectsByFileIdAndByName) {
    // A DF answers its FCI with the DF name.
    // "KOVALINK.APP"
    EXPECT_EQ(run(cos, "00A4000002DF01"), "6F 0E 84 0C 4B 4F 56 41 4C 49 4E 4B 2E 41 50 50 90 00");
    EXPECT_EQ(run(cos, "00A4000002 0001"), "90 00");
    EXPECT_EQ(run(cos, "00A40400 0E 315041592E5359532E4444463031"),
              "6F 10 84 0E 31 50 41 59 2E 53 59 53 2E 44 44 46 30 31 90 00");
    EXPECT_EQ(run(cos, "00A4000002 1234"), "6A 82");
    EXPECT_EQ(run(cos, "00A40400 03 414243"), "6A 82");
    EXPECT_EQ(run(cos, "00A4020002 DF01"), "6A 86");
    EXPECT_EQ(run(cos, "00A4000C02 DF01"), "90 00");
    EXPECT_EQ(run(cos, "00A4000003 DF0100"), "67 00");
    // An EF of another DF is not reachable from the MF; the MF's own EF is.
    EXPECT_EQ(run(cos, "00A4000002 3F00"), "6F 10 84 0E 31 50 41 59 2E 53 59 53 2E 44 44 46 30 31 90 00");
    EXPECT_EQ(run(cos, "00A4000002 0001"), "6A 82");
    EXPECT_EQ(run(cos, "00A4000002 0002"), "6A 82");
    EXPECT_EQ(run(cos, "00A4000002 000A"), "90 00");
}

TEST_F(CosFiles, ReadsAndUpdatesBinaryByCurrentFileAndShortId) {
    run(cos, "00A4000002DF01");
    // Writing 0001 needs external authentication.
    EXPECT_EQ(run(cos, "00D6820003 AABBCC"), "69 82");
    ASSERT_EQ(costest::sw(costest::authenticate(cos, sim::Bytes(16, 0xFF))), "90 00");
    EXPECT_EQ(run(cos, "00D6810003 AABBCC"), "90 00");
    EXPECT_EQ(run(cos, "00B0810004"), "AA BB CC 00 90 00");
    EXPECT_EQ(run(cos, "00B0000104"), "BB CC 00 00 90 00");  // 0001 is now current
    // Offsets: inside the file but short of Le gives what exists and 6282;
    // beyond the file 6B00.
    EXPECT_EQ(run(cos, "00B000FE04"), "00 00 62 82");
    EXPECT_EQ(run(cos, "00B0010104"), "6B 00");
    EXPECT_EQ(run(cos, "00D600FF02 0102"), "67 00");
    EXPECT_EQ(run(cos, "00B0850004"), "6A 82");
}

// Le 00 asks for 256 bytes; one reader frame carries 250 besides the status
// word, so the card answers 250 bytes and 61 06, the rest by GET RESPONSE.
TEST_F(CosFiles, ReadBinaryOfAWhole256ByteFileEndsThroughGetResponse) {
    run(cos, "00A4000002DF01");
    ASSERT_EQ(costest::sw(costest::authenticate(cos, sim::Bytes(16, 0xFF))), "90 00");
    ASSERT_EQ(run(cos, "00D6810003 AABBCC"), "90 00");
    ASSERT_EQ(run(cos, "00D600FA06 A1A2A3A4A5A6"), "90 00");
    const sim::Bytes first = cos.process(h("00B0000000"));
    ASSERT_EQ(first.size(), 252u);
    EXPECT_EQ(sim::hex(sim::Bytes(first.begin(), first.begin() + 3)), "AA BB CC");
    EXPECT_EQ(sim::hex(sim::Bytes(first.end() - 2, first.end())), "61 06");
    EXPECT_EQ(run(cos, "00C0000008"), "6C 06") << "Le larger than what waits";
    EXPECT_EQ(run(cos, "00C0000002"), "A1 A2 61 04");
    EXPECT_EQ(run(cos, "00C0000004"), "A3 A4 A5 A6 90 00");
    EXPECT_EQ(run(cos, "00C0000004"), "69 85") << "nothing waits any more";
    // Any other command drops what waits.
    ASSERT_EQ(costest::sw(cos.process(h("00B0000000"))), "61 06");
    EXPECT_EQ(run(cos, "00B0000002"), "AA BB 90 00");
    EXPECT_EQ(run(cos, "00C0000006"), "69 85");
    // A short answer needs no GET RESPONSE.
    EXPECT_EQ(costest::sw(cos.process(h("00B00006FA"))), "90 00");
}

TEST_F(CosFiles, PinProtectedFileAndUnknownCommands) {
    run(cos, "00A4000002DF01");
    EXPECT_EQ(run(cos, "00B0820002"), "69 82");
    EXPECT_EQ(run(cos, "0020000003 123456"), "90 00");
    EXPECT_EQ(run(cos, "00B0820002"), "00 00 90 00");
    // Selecting a DF again forgets the PIN.
    run(cos, "00A4000002DF01");
    EXPECT_EQ(run(cos, "00B0820002"), "69 82");
    EXPECT_EQ(run(cos, "00B0"), "67 00");
    EXPECT_EQ(run(cos, "00CA000000"), "6D 00");
    EXPECT_EQ(run(cos, "A0A4000002DF01"), "6E 00");
    run(cos, "00A4000002DF01");
    EXPECT_EQ(run(cos, "00B0000004"), "69 86");  // no current EF after a DF select
    EXPECT_EQ(run(cos, "00A4000002 0001 00 00"), "67 00");
}

TEST_F(CosFiles, EraseDfNeedsAuthenticationAndZeroesFiles) {
    run(cos, "00A4000002DF01");
    costest::authenticate(cos, sim::Bytes(16, 0xFF));
    run(cos, "00D6810002 1122");
    run(cos, "00A4000002DF01");
    EXPECT_EQ(run(cos, "800E000000"), "69 82");
    costest::authenticate(cos, sim::Bytes(16, 0xFF));
    EXPECT_EQ(run(cos, "800E000000"), "90 00");
    EXPECT_EQ(run(cos, "00B0810002"), "00 00 90 00");
}

}  // namespace
