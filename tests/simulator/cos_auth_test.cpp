// External authentication, key writing and the PIN of the card operating
// system.
#include <gtest/gtest.h>

#include "cos_test_support.h"

using costest::authenticate;
using costest::h;
using costest::run;
using costest::sw;

namespace {

const sim::Bytes kKey = h("00112233445566778899AABBCCDDEEFF");

TEST(CosAuth, ExternalAuthenticationWithDesAnd3Des) {
    sim::Cos cos(sim::Cos::Role::card);
    cos.setKey(0, kKey, 3);
    cos.setKey(5, h("0123456789ABCDEF"), 3);
    EXPECT_EQ(run(cos, "0082000008 0000000000000000"), "69 85");  // no challenge yet
    EXPECT_EQ(sw(authenticate(cos, kKey)), "90 00");
    EXPECT_EQ(sw(authenticate(cos, h("0123456789ABCDEF"), 5)), "90 00");
    EXPECT_EQ(sw(authenticate(cos, kKey, 7)), "6A 88");
    // A challenge is good for one attempt only.
    const sim::Bytes challenge = cos.process(h("0084000008"));
    sim::Bytes command = h("0082000008");
    const sim::Bytes crypto = costest::encrypt(kKey, sim::Bytes(challenge.begin(), challenge.begin() + 8));
    command.insert(command.end(), crypto.begin(), crypto.end());
    EXPECT_EQ(sim::hex(cos.process(command)), "90 00");
    EXPECT_EQ(sim::hex(cos.process(command)), "69 85");
    EXPECT_EQ(run(cos, "0084000005"), "67 00");
    EXPECT_EQ(run(cos, "0084010008"), "6A 86");
    EXPECT_EQ(run(cos, "0082010008 0000000000000000"), "6A 86");
    EXPECT_EQ(run(cos, "0082000004 00000000"), "67 00");
}

TEST(CosAuth, FourByteChallengeIsPaddedWithZeros) {
    sim::Cos cos(sim::Cos::Role::card);
    cos.setKey(0, kKey, 3);
    const sim::Bytes answer = cos.process(h("0084000004"));
    ASSERT_EQ(answer.size(), 6u);
    sim::Bytes block(answer.begin(), answer.begin() + 4);
    block.resize(8, 0x00);
    sim::Bytes command = h("0082000008");
    const sim::Bytes crypto = costest::encrypt(kKey, block);
    command.insert(command.end(), crypto.begin(), crypto.end());
    EXPECT_EQ(sim::hex(cos.process(command)), "90 00");
}

TEST(CosAuth, FailuresCountDownAndBlockTheKey) {
    sim::Cos cos(sim::Cos::Role::card);
    cos.setKey(0, kKey, 3);
    const sim::Bytes wrong(16, 0x00);
    EXPECT_EQ(sw(authenticate(cos, wrong)), "63 C2");
    EXPECT_EQ(sw(authenticate(cos, kKey)), "90 00");  // success restores the counter
    EXPECT_EQ(sw(authenticate(cos, wrong)), "63 C2");
    EXPECT_EQ(sw(authenticate(cos, wrong)), "63 C1");
    EXPECT_EQ(sw(authenticate(cos, wrong)), "63 C0");
    EXPECT_EQ(sw(authenticate(cos, kKey)), "69 83");
}

TEST(CosAuth, DiversifiedKeyIsScatteredOverTheUid) {
    sim::Cos cos(sim::Cos::Role::card);
    cos.setKey(0, kKey, 3);
    cos.setDiversifier(h("A1B2C3D4"));
    sim::Bytes derived(16);
    const sim::Bytes uid8 = h("A1B2C3D400000000");
    kv::des::scatter(derived.data(), uid8.data(), kKey.data(), kKey.size());
    EXPECT_EQ(sw(authenticate(cos, kKey)), "63 C2");
    EXPECT_EQ(sw(authenticate(cos, derived)), "90 00");
}

TEST(CosAuth, WriteKeyInstallsFreelyButChangesOnlyAfterAuthentication) {
    sim::Cos cos(sim::Cos::Role::card);
    cos.setKey(0, kKey, 3);
    EXPECT_EQ(run(cos, "80D4000209 05 0123456789ABCDEF"), "90 00");
    EXPECT_EQ(sw(authenticate(cos, h("0123456789ABCDEF"), 2)), "90 00");
    cos.reset();
    EXPECT_EQ(run(cos, "80D4010208 1111111111111111"), "69 82");
    EXPECT_EQ(run(cos, "80D4010308 1111111111111111"), "6A 88");
    EXPECT_EQ(run(cos, "80D4000207 11111111111111"), "67 00");
    authenticate(cos, kKey);
    EXPECT_EQ(run(cos, "80D4010208 1111111111111111"), "90 00");
    // The try limit 5 given at install stays.
    for (int i = 4; i >= 0; --i) {
        EXPECT_EQ(sw(authenticate(cos, kKey, 2)), "63 C" + std::to_string(i));
    }
}

TEST(CosPin, VerifyCountsRetriesAndBlocks) {
    sim::Cos cos(sim::Cos::Role::card);
    cos.setPin(h("123456"), 3);
    EXPECT_EQ(run(cos, "00200000"), "63 C3");
    EXPECT_EQ(run(cos, "0020000003 654321"), "63 C2");
    EXPECT_EQ(run(cos, "0020000003 123456"), "90 00");
    EXPECT_EQ(run(cos, "00200000"), "63 C3");
    EXPECT_EQ(run(cos, "0020000002 1234"), "63 C2");
    EXPECT_EQ(run(cos, "0020000002 1234"), "63 C1");
    EXPECT_EQ(run(cos, "0020000002 1234"), "63 C0");
    EXPECT_EQ(run(cos, "0020000003 123456"), "69 83");
    EXPECT_EQ(run(cos, "0020000103 123456"), "6A 88");
    EXPECT_EQ(run(cos, "0020000009 112233445566778899"), "69 83");
}

TEST(CosPin, ChangeAndReload) {
    sim::Cos cos(sim::Cos::Role::card);
    cos.setPin(h("123456"), 3);
    const sim::Bytes reload = h("0F1E2D3C4B5A69788796A5B4C3D2E1F0");
    cos.setReloadKey(reload);
    EXPECT_EQ(run(cos, "805E010006 123456 FF 9999"), "90 00");
    EXPECT_EQ(run(cos, "0020000002 9999"), "90 00");
    EXPECT_EQ(run(cos, "805E010006 123456 FF 8888"), "63 C2");
    EXPECT_EQ(run(cos, "805E010003 999988"), "6A 80");
    // Block it, then reload with the MAC of the new PIN.
    run(cos, "0020000001 00");
    run(cos, "0020000001 00");
    EXPECT_EQ(run(cos, "0020000002 9999"), "69 83");
    sim::Bytes mac(4);
    const sim::Bytes pin = h("4321");
    kv::des::mac(mac.data(), pin.data(), pin.size(), reload.data(), reload.size(), nullptr);
    sim::Bytes command = h("805E000006 4321");
    command.insert(command.end(), mac.begin(), mac.end());
    sim::Bytes spoiled = command;
    spoiled.back() ^= 1;
    EXPECT_EQ(sim::hex(cos.process(spoiled)), "69 88");
    EXPECT_EQ(sim::hex(cos.process(command)), "90 00");
    EXPECT_EQ(run(cos, "0020000002 4321"), "90 00");
    EXPECT_EQ(cos.pinTriesLeft(), 3);
}

}  // namespace
