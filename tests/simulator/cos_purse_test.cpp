// The purse of a card and the cryptographic services of a SAM, which must
// agree with each other.
#include <gtest/gtest.h>

#include "cos_test_support.h"

using costest::h;
using costest::run;
using costest::sw;

namespace {

const sim::Bytes kPurseKey = h("2B7E151628AED2A6ABF7158809CF4F3C");
const sim::Bytes kTerminal = h("112233445566");
const sim::Bytes kDateTime = h("20261207201500");

struct Initialized {
    sim::Bytes balance, serial, random;
};

Initialized initialize(sim::Cos& cos, bool debit, const std::string& amount, std::uint8_t type = 0x02) {
    sim::Bytes command = {0x80, 0x50, static_cast<std::uint8_t>(debit ? 1 : 0), 0x01, 0x0B, type};
    const sim::Bytes a = h(amount);
    command.insert(command.end(), a.begin(), a.end());
    command.insert(command.end(), kTerminal.begin(), kTerminal.end());
    command.push_back(0x0A);
    const sim::Bytes answer = cos.process(command);
    EXPECT_EQ(answer.size(), 12u);
    EXPECT_EQ(sw(answer), "90 00");
    return {sim::Bytes(answer.begin(), answer.begin() + 4), sim::Bytes(answer.begin() + 4, answer.begin() + 6),
            sim::Bytes(answer.begin() + 6, answer.begin() + 10)};
}

sim::Bytes commit(sim::Cos& cos, const sim::Bytes& mac, const sim::Bytes& aux = {}) {
    sim::Bytes command = {0x80, 0x52, 0x00, 0x00, static_cast<std::uint8_t>(7 + aux.size() + 4)};
    command.insert(command.end(), kDateTime.begin(), kDateTime.end());
    command.insert(command.end(), aux.begin(), aux.end());
    command.insert(command.end(), mac.begin(), mac.end());
    return cos.process(command);
}

// Expected MACs and TACs were computed once with OpenSSL's DES (ISO/IEC
// 9797-1 padding 2, MAC algorithm 3, zero IV, under kPurseKey) over the
// fields named beside them; the card's randoms are the low bytes of the
// first outputs of std::mt19937 seeded with 1.
class CosPurse : public ::testing::Test {
protected:
    CosPurse() : card(sim::Cos::Role::card), sam(sim::Cos::Role::sam) {
        card.setKey(1, kPurseKey, 3);
        card.setBalance(1000);
        card.seedRandom(1);
        sam.setKey(1, kPurseKey, 3);
    }
    sim::Cos card, sam;
};

TEST_F(CosPurse, CreditAndDebitWithTheRightMac) {
    Initialized init = initialize(card, false, "000001F4");  // 500
    EXPECT_EQ(sim::hex(init.balance), "00 00 03 E8");
    EXPECT_EQ(sim::hex(init.serial), "00 00");
    ASSERT_EQ(sim::hex(init.random), "25 EB 8C 48");
    // MAC over 25EB8C48 0000 000001F4 02 terminal date_time.
    const sim::Bytes answer = commit(card, h("F2C48FF0"));
    ASSERT_EQ(sw(answer), "90 00");
    // 1500, and the TAC over 000005DC 0000 000001F4 02 terminal date_time.
    EXPECT_EQ(sim::hex(answer), "00 00 05 DC 8F 6D 3F 07 90 00");
    EXPECT_EQ(run(card, "805C000204"), "00 00 05 DC 90 00");

    const sim::Bytes aux = h("00000007");
    init = initialize(card, true, "00000064", 0x06);  // 100
    EXPECT_EQ(sim::hex(init.serial), "00 01");
    ASSERT_EQ(sim::hex(init.random), "FF 89 CB 85");
    // MAC over FF89CB85 0001 00000007 00000064 06 terminal date_time.
    const sim::Bytes debit = commit(card, h("33FD6343"), aux);
    ASSERT_EQ(sw(debit), "90 00");
    EXPECT_EQ(card.balance(), 1400u);
    // TAC over 00000578 0001 00000064 06 terminal date_time.
    EXPECT_EQ(sim::hex(debit), "00 00 05 78 F3 E3 2E F0 90 00");
    // The proof of the debit repeats its answer.
    EXPECT_EQ(sim::hex(card.process(h("805A000602 0001 08"))), sim::hex(debit));
    EXPECT_EQ(run(card, "805A000202 0001 08"), "6A 88");
}

TEST_F(CosPurse, RefusesBadMacsLowBalanceAndCommitsWithoutInitialize) {
    EXPECT_EQ(sw(commit(card, h("00000000"))), "69 85");
    Initialized init = initialize(card, true, "00002710");  // 10000 > 1000
    ASSERT_EQ(sim::hex(init.random), "25 EB 8C 48");
    EXPECT_EQ(sw(commit(card, h("27E44228"))), "94 01");  // MAC over 25EB8C48 0000 00002710 02 ...
    init = initialize(card, false, "00000001");
    EXPECT_EQ(sw(commit(card, h("DEADBEEF"))), "69 88");
    EXPECT_EQ(card.balance(), 1000u);
    init = initialize(card, false, "7FFFFFFF");
    ASSERT_EQ(sim::hex(init.random), "4F C0 90 81");
    EXPECT_EQ(sw(commit(card, h("3122E87B"))), "94 02");  // MAC over 4FC09081 0000 7FFFFFFF 02 ...
    EXPECT_EQ(run(card, "805C000104"), "6A 86");
    EXPECT_EQ(run(card, "805000090B 02 00000001 112233445566"), "6A 88");
    // A SAM has no purse, a card no SAM services.
    EXPECT_EQ(run(sam, "805C000204"), "6D 00");
    EXPECT_EQ(run(card, "0088000108 0000000000000000"), "6D 00");
}

TEST_F(CosPurse, SamMacMatchesWhatTheCardChecks) {
    const Initialized init = initialize(card, false, "00000010");
    // Diversified SAM key: the card then holds the scattered key.
    sim::Bytes command = {0x80, 0x70, 0x00, 0x01, 0x00};
    for (const sim::Bytes& part : {init.random, init.serial, h("00000010"), h("02"), kTerminal, kDateTime}) {
        command.insert(command.end(), part.begin(), part.end());
    }
    command[4] = static_cast<std::uint8_t>(command.size() - 5);
    command.push_back(0x04);
    const sim::Bytes mac = sam.process(command);
    ASSERT_EQ(sw(mac), "90 00");
    EXPECT_EQ(sw(commit(card, sim::Bytes(mac.begin(), mac.begin() + 4))), "90 00");
    EXPECT_EQ(card.balance(), 1016u);
    EXPECT_EQ(run(sam, "8070000105 0102030405"), "67 00");
}

TEST_F(CosPurse, SamInternalAuthenticationAndSessionCipher) {
    // Computed once with OpenSSL's two-key 3DES: 0123456789ABCDEF under
    // kPurseKey, and under kPurseKey scattered over A1B2C3D400000000
    // (B9D3886B9BEA633B 7152F5349D9CB58E).
    const std::string plain = "4D 7B 51 6C 67 3B 44 97 90 00", scattered = "21 11 0E FB C1 41 B7 87 90 00";
    EXPECT_EQ(run(sam, "0088000108 0123456789ABCDEF"), plain);
    EXPECT_EQ(run(sam, "0088010110 A1B2C3D400000000 0123456789ABCDEF"), scattered);
    EXPECT_EQ(run(sam, "0088000205 0102030405"), "6A 88");
    EXPECT_EQ(run(sam, "80FA000008 0123456789ABCDEF"), "69 85");
    EXPECT_EQ(run(sam, "801A000108 A1B2C3D400000000"), "90 00");
    EXPECT_EQ(run(sam, "80FA000008 0123456789ABCDEF"), scattered);
    EXPECT_EQ(run(sam, "801A000103 010203"), "67 00");
}

}  // namespace
