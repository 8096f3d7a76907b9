// DES, triple DES, MAC and key diversification: published known answers,
// the behaviours callers rely on, and OpenSSL as an oracle over random
// keys and blocks.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/des.h>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "KovalinkHID.h"
#include "des.h"

namespace {

using Block = std::array<unsigned char, 8>;
using Bytes = std::vector<unsigned char>;

Bytes fromHex(const std::string& text) {
    Bytes out;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        out.push_back(static_cast<unsigned char>(std::stoul(text.substr(i, 2), nullptr, 16)));
    }
    return out;
}

std::string toHex(const unsigned char* data, std::size_t n) {
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    for (std::size_t i = 0; i < n; ++i) {
        s += digits[data[i] >> 4];
        s += digits[data[i] & 15];
    }
    return s;
}

std::string encryptHex(const std::string& key, const std::string& plain) {
    Bytes k = fromHex(key), in = fromHex(plain), out(in.size());
    EXPECT_EQ(des_encrypt(out.data(), in.data(), static_cast<int>(in.size()), k.data(), static_cast<int>(k.size())), 0);
    return toHex(out.data(), out.size());
}

std::string decryptHex(const std::string& key, const std::string& cipher) {
    Bytes k = fromHex(key), in = fromHex(cipher), out(in.size());
    EXPECT_EQ(des_decrypt(out.data(), in.data(), static_cast<int>(in.size()), k.data(), static_cast<int>(k.size())), 0);
    return toHex(out.data(), out.size());
}

// OpenSSL's view of the same operations.
DES_key_schedule sslSchedule(const unsigned char* key8) {
    DES_cblock block;
    std::memcpy(block, key8, 8);
    DES_key_schedule ks;
    DES_set_key_unchecked(&block, &ks);
    return ks;
}

Block sslEncrypt(const Bytes& key, const Block& in, bool encrypt) {
    DES_cblock i, o;
    std::memcpy(i, in.data(), 8);
    DES_key_schedule k1 = sslSchedule(key.data());
    if (key.size() == 8) {
        DES_ecb_encrypt(&i, &o, &k1, encrypt ? DES_ENCRYPT : DES_DECRYPT);
    } else {
        DES_key_schedule k2 = sslSchedule(key.data() + 8);
        DES_ecb3_encrypt(&i, &o, &k1, &k2, &k1, encrypt ? DES_ENCRYPT : DES_DECRYPT);
    }
    Block out;
    std::memcpy(out.data(), o, 8);
    return out;
}

// Retail MAC from OpenSSL primitives: CBC under K1, then D(K2) E(K1).
Block sslMac(const Bytes& key, Bytes data, const Block& iv) {
    data.push_back(0x80);
    while (data.size() % 8) data.push_back(0);
    DES_key_schedule k1 = sslSchedule(key.data());
    DES_cblock x;
    std::memcpy(x, iv.data(), 8);
    for (std::size_t at = 0; at < data.size(); at += 8) {
        for (int i = 0; i < 8; ++i) x[i] ^= data[at + i];
        DES_ecb_encrypt(&x, &x, &k1, DES_ENCRYPT);
    }
    if (key.size() == 16) {
        DES_key_schedule k2 = sslSchedule(key.data() + 8);
        DES_ecb_encrypt(&x, &x, &k2, DES_DECRYPT);
        DES_ecb_encrypt(&x, &x, &k1, DES_ENCRYPT);
    }
    Block out;
    std::memcpy(out.data(), x, 8);
    return out;
}

TEST(Des, PublishedKnownAnswers) {
    // FIPS 81 appendix B example and a textbook worked example.
    EXPECT_EQ(encryptHex("0123456789ABCDEF", "4E6F772069732074"), "3FA40E8A984D4815");
    EXPECT_EQ(encryptHex("133457799BBCDFF1", "0123456789ABCDEF"), "85E813540F0AB405");
    // NBS special publication 500-20: variable plaintext and variable key.
    EXPECT_EQ(encryptHex("0101010101010101", "8000000000000000"), "95F8A5E5DD31D900");
    EXPECT_EQ(encryptHex("0101010101010101", "4000000000000000"), "DD7F121CA5015619");
    EXPECT_EQ(encryptHex("0101010101010101", "2000000000000000"), "2E8653104F3834EA");
    EXPECT_EQ(encryptHex("8001010101010101", "0000000000000000"), "95A8D72813DAA94D");
    EXPECT_EQ(encryptHex("4001010101010101", "0000000000000000"), "0EEC1487DD8C26D5");
    EXPECT_EQ(decryptHex("0123456789ABCDEF", "3FA40E8A984D4815"), "4E6F772069732074");
    // Parity bits do not matter.
    EXPECT_EQ(encryptHex("0022446688AACCEE", "4E6F772069732074"), encryptHex("0123456789ABCDEF", "4E6F772069732074"));
}

TEST(Des, TwoKeyTripleDesKnownAnswers) {
    // Computed outside the project with "openssl enc -des-ede -nopad".
    EXPECT_EQ(encryptHex("0123456789ABCDEFFEDCBA9876543210", "0123456789ABCDEF"), "1A4D672DCA6CB335");
    EXPECT_EQ(encryptHex("1F1F1F1F0E0E0E0EE0E0E0E0F1F1F1F1", "0000000000000000"), "FBBE7444F461E028");
    EXPECT_EQ(encryptHex("404142434445464748494A4B4C4D4E4F", "4E6F772069732074"), "1166BA26DE627340");
    EXPECT_EQ(decryptHex("0123456789ABCDEFFEDCBA9876543210", "1A4D672DCA6CB335"), "0123456789ABCDEF");
}

TEST(Des, KeyLengthChoosesTheCipher) {
    const std::string plain = "0123456789ABCDEF";
    // Equal halves collapse triple DES to single DES.
    EXPECT_EQ(encryptHex("0123456789ABCDEF0123456789ABCDEF", plain), encryptHex("0123456789ABCDEF", plain));
    // Short keys are zero-padded, a 12-byte key pads K2, bytes past 16 are ignored.
    EXPECT_EQ(encryptHex("01234567", plain), encryptHex("0123456700000000", plain));
    EXPECT_EQ(encryptHex("0123456789ABCDEF11223344", plain), encryptHex("0123456789ABCDEF1122334400000000", plain));
    EXPECT_EQ(encryptHex("0123456789ABCDEFFEDCBA9876543210AABBCCDDEEFF0011", plain),
              encryptHex("0123456789ABCDEFFEDCBA9876543210", plain));
    EXPECT_NE(encryptHex("0123456789ABCDEFFEDCBA9876543210", plain), encryptHex("0123456789ABCDEF", plain));
}

TEST(Des, MatchesOpenSslOnRandomKeysAndBlocks) {
    std::mt19937 rng(20261207);
    auto byte = [&] { return static_cast<unsigned char>(rng()); };
    for (int round = 0; round < 3000; ++round) {
        Bytes key(round % 2 ? 16 : 8);
        for (auto& b : key) b = byte();
        Block plain;
        for (auto& b : plain) b = byte();
        Block copy = plain, out{}, back{};
        ASSERT_EQ(des_encrypt(out.data(), copy.data(), 8, key.data(), static_cast<int>(key.size())), 0);
        ASSERT_EQ(out, sslEncrypt(key, plain, true)) << toHex(key.data(), key.size());
        copy = out;
        ASSERT_EQ(des_decrypt(back.data(), copy.data(), 8, key.data(), static_cast<int>(key.size())), 0);
        ASSERT_EQ(back, plain);
        ASSERT_EQ(back, sslEncrypt(key, out, false));
    }
}

TEST(Des, TripleDesLeavesTheMiddleValueInTheInput) {
    const Bytes key = fromHex("0123456789ABCDEFFEDCBA9876543210");
    Bytes input = fromHex("1122334455667788AABBCCDDEEFF00119999");
    const Bytes original = input;
    Bytes output(input.size(), 0x5A);
    ASSERT_EQ(des_encrypt(output.data(), input.data(), 18, key.data(), 16), 0);
    for (int block = 0; block < 2; ++block) {
        Block expected, mid;
        std::memcpy(expected.data(), original.data() + 8 * block, 8);
        expected = sslEncrypt(key, expected, true);
        EXPECT_EQ(0, std::memcmp(output.data() + 8 * block, expected.data(), 8));
        // Middle value D(K2)(E(K1)(block)).
        const auto ks1 = kv::des::schedule(key.data());
        const auto ks2 = kv::des::schedule(key.data() + 8);
        kv::des::encryptBlock(ks1, original.data() + 8 * block, mid.data());
        kv::des::decryptBlock(ks2, mid.data(), mid.data());
        EXPECT_EQ(0, std::memcmp(input.data() + 8 * block, mid.data(), 8));
    }
    // The tail past the last whole block is untouched in both buffers.
    EXPECT_EQ(input[16], 0x99);
    EXPECT_EQ(output[16], 0x5A);
    // In place gives the same result.
    Bytes same = original;
    ASSERT_EQ(des_encrypt(same.data(), same.data(), 16, key.data(), 16), 0);
    EXPECT_EQ(0, std::memcmp(same.data(), output.data(), 16));
}

TEST(Des, PartialBlocksAndRefusals) {
    const Bytes key = fromHex("0123456789ABCDEF");
    Bytes in = fromHex("4E6F772069732074AABBCCDD"), out(12, 0xEE);
    ASSERT_EQ(des_encrypt(out.data(), in.data(), 12, key.data(), 8), 0);
    EXPECT_EQ(toHex(out.data(), 12), "3FA40E8A984D4815EEEEEEEE");
    Bytes small(7, 0x11), untouched(7, 0x22);
    EXPECT_EQ(des_encrypt(untouched.data(), small.data(), 7, key.data(), 8), 0);
    EXPECT_EQ(untouched, Bytes(7, 0x22));
    EXPECT_EQ(des_encrypt(nullptr, in.data(), 8, key.data(), 8), 1);
    EXPECT_EQ(des_decrypt(out.data(), nullptr, 8, key.data(), 8), 1);
    EXPECT_EQ(des_encrypt(out.data(), in.data(), 8, nullptr, 8), 1);
    // Negative lengths are refused rather than read as huge counts.
    EXPECT_EQ(des_encrypt(out.data(), in.data(), -8, key.data(), 8), 1);
    EXPECT_EQ(des_encrypt(out.data(), in.data(), 8, key.data(), -1), 1);
}

TEST(CalMac, MatchesTheRetailMacOnRandomData) {
    std::mt19937 rng(9797);
    for (int round = 0; round < 1000; ++round) {
        Bytes key(round % 3 == 0 ? 8 : 16), data(rng() % 248);
        data.reserve(1);  // a valid pointer even for empty data
        for (auto& b : key) b = static_cast<unsigned char>(rng());
        for (auto& b : data) b = static_cast<unsigned char>(rng());
        Block iv{};
        const unsigned char iv_len = static_cast<unsigned char>(rng() % 10);
        for (int i = 0; i < iv_len && i < 8; ++i) iv[i] = static_cast<unsigned char>(rng());
        unsigned char given_iv[10] = {};
        std::memcpy(given_iv, iv.data(), 8);
        unsigned char mac[6] = {0, 0, 0, 0, 0xAA, 0xAA};
        ASSERT_EQ(Cal_MAC(mac, data.data(), static_cast<int>(data.size()), key.data(), static_cast<int>(key.size()),
                          given_iv, iv_len),
                  0);
        const Block expected = sslMac(key, data, iv);
        ASSERT_EQ(0, std::memcmp(mac, expected.data(), 4)) << "length " << data.size();
        ASSERT_EQ(mac[4], 0xAA);  // exactly 4 bytes written
    }
}

TEST(CalMac, PaddingAndLimits) {
    const Bytes key = fromHex("0123456789ABCDEF");
    const Block zero{};
    // 8 data bytes take a second block of padding; 7 bytes end in 80.
    Bytes eight = fromHex("4E6F772069732074"), seven = fromHex("4E6F7720697320");
    unsigned char mac[4];
    ASSERT_EQ(Cal_MAC(mac, eight.data(), 8, key.data(), 8, nullptr, 0), 0);
    Block two = sslEncrypt(key, Block{0x4E, 0x6F, 0x77, 0x20, 0x69, 0x73, 0x20, 0x74}, true);
    two[0] ^= 0x80;
    two = sslEncrypt(key, two, true);
    EXPECT_EQ(0, std::memcmp(mac, two.data(), 4));
    ASSERT_EQ(Cal_MAC(mac, seven.data(), 7, key.data(), 8, nullptr, 0), 0);
    const Block one = sslEncrypt(key, Block{0x4E, 0x6F, 0x77, 0x20, 0x69, 0x73, 0x20, 0x80}, true);
    EXPECT_EQ(0, std::memcmp(mac, one.data(), 4));
    (void)zero;
    // 247 bytes is the most the padded copy can hold.
    Bytes big(248, 0x33);
    EXPECT_EQ(Cal_MAC(mac, big.data(), 247, key.data(), 8, nullptr, 0), 0);
    EXPECT_EQ(Cal_MAC(mac, big.data(), 248, key.data(), 8, nullptr, 0), 1);
    EXPECT_EQ(Cal_MAC(mac, big.data(), -1, key.data(), 8, nullptr, 0), 1);
    EXPECT_EQ(Cal_MAC(mac, big.data(), 8, key.data(), 8, nullptr, 4), 1);
    EXPECT_EQ(Cal_MAC(nullptr, big.data(), 8, key.data(), 8, nullptr, 0), 1);
    EXPECT_EQ(Cal_MAC(mac, nullptr, 8, key.data(), 8, nullptr, 0), 1);
    EXPECT_EQ(Cal_MAC(mac, big.data(), 8, nullptr, 8, nullptr, 0), 1);
}

TEST(KeyScatter, EncryptsDataAndItsComplement) {
    const Bytes key = fromHex("0123456789ABCDEFFEDCBA9876543210");
    const Bytes data = fromHex("1122334455667788");
    unsigned char out[16];
    ASSERT_EQ(Key_Scatter(out, data.data(), 8, key.data(), 16), 0);
    Block left, right;
    std::memcpy(left.data(), data.data(), 8);
    for (int i = 0; i < 8; ++i) right[i] = static_cast<unsigned char>(~data[i]);
    EXPECT_EQ(0, std::memcmp(out, sslEncrypt(key, left, true).data(), 8));
    EXPECT_EQ(0, std::memcmp(out + 8, sslEncrypt(key, right, true).data(), 8));
    unsigned char untouched[16] = {};
    EXPECT_EQ(Key_Scatter(untouched, data.data(), 7, key.data(), 16), 1);
    EXPECT_EQ(Key_Scatter(untouched, nullptr, 8, key.data(), 16), 1);
    EXPECT_EQ(Key_Scatter(untouched, data.data(), 8, nullptr, 16), 1);
    for (unsigned char b : untouched) EXPECT_EQ(b, 0);
}

TEST(Des, ConcurrentCallsDoNotDisturbEachOther) {
    // Each thread works with its own key; with shared key storage the
    // results would mix.
    auto work = [](unsigned seed, bool* ok) {
        std::mt19937 rng(seed);
        Bytes key(16);
        for (auto& b : key) b = static_cast<unsigned char>(rng());
        for (int i = 0; i < 2000; ++i) {
            Block in, copy, out;
            for (auto& b : in) b = static_cast<unsigned char>(rng());
            copy = in;
            des_encrypt(out.data(), copy.data(), 8, key.data(), 16);
            if (out != sslEncrypt(key, in, true)) *ok = false;
        }
    };
    bool ok[4] = {true, true, true, true};
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < 4; ++t) threads.emplace_back(work, t + 1, &ok[t]);
    for (auto& t : threads) t.join();
    for (bool b : ok) EXPECT_TRUE(b);
}

}  // namespace
