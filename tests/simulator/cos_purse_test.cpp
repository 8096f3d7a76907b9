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

class CosPurse : public ::testing::Test {
protected:
    CosPurse() : card(sim::Cos::Role::card), sam(sim::Cos::Role::sam) {
        card.setKey(1, kPurseKey, 3);
        card.setBalance(1000);
        sam.setKey(1, kPurseKey, 3);
    }
    sim::Cos card, sam;
};

TEST_F(CosPurse, CreditAndDebitWithTheRightMac) {
    Initialized init = initialize(card, false, "000001F4");  // 500
    EXPECT_EQ(sim::hex(init.balance), "00 00 03 E8");
    EXPECT_EQ(sim::hex(init.serial), "00 00");
    sim::Bytes mac =
        sim::purseMacOf(kPurseKey, init.random, init.serial, {}, h("000001F4"), 0x02, kTerminal, kDateTime);
    const sim::Bytes answer = commit(card, mac);
    ASSERT_EQ(sw(answer), "90 00");
    EXPECT_EQ(sim::hex(sim::Bytes(answer.begin(), answer.begin() + 4)), "00 00 05 DC");  // 1500
    EXPECT_EQ(run(card, "805C000204"), "00 00 05 DC 90 00");

    const sim::Bytes aux = h("00000007");
    init = initialize(card, true, "00000064", 0x06);  // 100
    EXPECT_EQ(sim::hex(init.serial), "00 01");
    mac = sim::purseMacOf(kPurseKey, init.random, init.serial, aux, h("00000064"), 0x06, kTerminal, kDateTime);
    const sim::Bytes debit = commit(card, mac, aux);
    ASSERT_EQ(sw(debit), "90 00");
    EXPECT_EQ(card.balance(), 1400u);
    // The proof of the debit repeats its answer.
    EXPECT_EQ(sim::hex(card.process(h("805A000602 0001 08"))), sim::hex(debit));
    EXPECT_EQ(run(card, "805A000202 0001 08"), "6A 88");
}

TEST_F(CosPurse, RefusesBadMacsLowBalanceAndCommitsWithoutInitialize) {
    EXPECT_EQ(sw(commit(card, h("00000000"))), "69 85");
    Initialized init = initialize(card, true, "00002710");  // 10000 > 1000
    sim::Bytes mac =
        sim::purseMacOf(kPurseKey, init.random, init.serial, {}, h("00002710"), 0x02, kTerminal, kDateTime);
    EXPECT_EQ(sw(commit(card, mac)), "94 01");
    init = initialize(card, false, "00000001");
    EXPECT_EQ(sw(commit(card, h("DEADBEEF"))), "69 88");
    EXPECT_EQ(card.balance(), 1000u);
    init = initialize(card, false, "7FFFFFFF");
    mac = sim::purseMacOf(kPurseKey, init.random, init.serial, {}, h("7FFFFFFF"), 0x02, kTerminal, kDateTime);
    EXPECT_EQ(sw(commit(card, mac)), "94 02");
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
    const sim::Bytes block = h("0123456789ABCDEF"), div = h("A1B2C3D400000000");
    EXPECT_EQ(sim::hex(sam.process(h("0088000108 0123456789ABCDEF"))),
              sim::hex(costest::encrypt(kPurseKey, block)) + " 90 00");
    sim::Bytes scattered(16);
    kv::des::scatter(scattered.data(), div.data(), kPurseKey.data(), kPurseKey.size());
    EXPECT_EQ(sim::hex(sam.process(h("0088010110 A1B2C3D400000000 0123456789ABCDEF"))),
              sim::hex(costest::encrypt(scattered, block)) + " 90 00");
    EXPECT_EQ(run(sam, "0088000205 0102030405"), "6A 88");
    EXPECT_EQ(run(sam, "80FA000008 0123456789ABCDEF"), "69 85");
    EXPECT_EQ(run(sam, "801A000108 A1B2C3D400000000"), "90 00");
    EXPECT_EQ(sim::hex(sam.process(h("80FA000008 0123456789ABCDEF"))),
              sim::hex(costest::encrypt(scattered, block)) + " 90 00");
    EXPECT_EQ(run(sam, "801A000103 010203"), "67 00");
}

}  // namespace
