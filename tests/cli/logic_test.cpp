// The parts of kovalink that decide what is sent and how answers read:
// number parsing and the 61xx/6Cxx rules. Hex and access bits are the
// toolkit's (tests/common).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <deque>
#include <fstream>
#include <sstream>

#include "commands/apdu/card_answer.h"
#include "commands/apdu/history.h"
#include "commands/apdu/status_words.h"
#include "core/bytes.h"
#include "core/output.h"

namespace {

using kl::Bytes;

Bytes hex(const std::string& text) {
    Bytes out;
    EXPECT_TRUE(kl::parseHex(text, &out)) << text;
    return out;
}

TEST(CliParseNumber, DecimalIsNeverOctalAndHexNeedsPrefix) {
    long long v = 0;
    EXPECT_EQ(kl::parseNumber("010", 0, 255, &v), "");
    EXPECT_EQ(v, 10);
    EXPECT_EQ(kl::parseNumber("0x1A86", 0, 0xFFFF, &v), "");
    EXPECT_EQ(v, 0x1A86);
    EXPECT_EQ(kl::parseNumber("-5", -10, 10, &v), "");
    EXPECT_EQ(v, -5);
}

TEST(CliParseNumber, RefusesRangeAndGarbage) {
    long long v = 7;
    for (const char* bad : {"256", "-1", "1A", "0x", "", "12a", "0x1G", "99999999999999999999999"}) {
        EXPECT_NE(kl::parseNumber(bad, 0, 255, &v), "") << bad;
    }
    EXPECT_EQ(v, 7);
}

// A card that answers from a script and records what it got.
struct ScriptedCard {
    std::deque<Bytes> answers;
    std::vector<Bytes> received;
    Bytes operator()(const Bytes& command) {
        received.push_back(command);
        Bytes a = answers.front();
        if (answers.size() > 1) answers.pop_front();
        return a;
    }
};

TEST(CliTransmit, FollowsMoreDataWithGetResponseAndJoinsTheData) {
    ScriptedCard card{{hex("0102 6103"), hex("030405 9000")}, {}};
    const auto x = kl::apdu::transmit(std::ref(card), hex("80CA000000"), true);
    ASSERT_EQ(card.received.size(), 2u);
    EXPECT_EQ(card.received[1], hex("80C0000003"));  // the class byte of the command
    EXPECT_EQ(x.data, hex("0102030405"));
    EXPECT_EQ(x.sw, 0x9000);
}

TEST(CliTransmit, ResendsWithTheLengthTheCardAsksFor) {
    ScriptedCard card{{hex("6C08"), hex("1122334455667788 9000")}, {}};
    const auto x = kl::apdu::transmit(std::ref(card), hex("00B0000000"), true);
    ASSERT_EQ(card.received.size(), 2u);
    EXPECT_EQ(card.received[1], hex("00B0000008"));
    EXPECT_EQ(x.data, hex("1122334455667788"));
}

TEST(CliTransmit, LeavesStatusWordsAloneWhenNotAutomatic) {
    ScriptedCard card{{hex("6110")}, {}};
    const auto x = kl::apdu::transmit(std::ref(card), hex("00A4040000"), false);
    EXPECT_EQ(card.received.size(), 1u);
    EXPECT_EQ(x.sw, 0x6110);
}

TEST(CliTransmit, StopsACardThatNeverEnds) {
    ScriptedCard card{{hex("AA 6101")}, {}};
    const auto x = kl::apdu::transmit(std::ref(card), hex("00CA000000"), true);
    EXPECT_LE(card.received.size(), 40u);
    EXPECT_EQ(x.sw, 0x6101);
}

TEST(CliTransmit, AnswerWithoutStatusWord) {
    ScriptedCard card{{hex("90")}, {}};
    const auto x = kl::apdu::transmit(std::ref(card), hex("00CA0000"), true);
    EXPECT_EQ(x.sw, -1);
    EXPECT_EQ(x.data, hex("90"));
}

TEST(CliWithLe, AddsOrReplacesByApduCase) {
    EXPECT_EQ(kl::apdu::withLe(hex("00840000"), 8), hex("0084000008"));            // case 1
    EXPECT_EQ(kl::apdu::withLe(hex("0084000000"), 8), hex("0084000008"));          // case 2
    EXPECT_EQ(kl::apdu::withLe(hex("00A40000023F00"), 9), hex("00A40000023F0009")); // case 3
    EXPECT_EQ(kl::apdu::withLe(hex("00A40000023F0000"), 9), hex("00A40000023F0009")); // case 4
}

TEST(CliStatusWords, InWords) {
    EXPECT_EQ(kl::apdu::statusWordText(0x9000), "success");
    EXPECT_EQ(kl::apdu::statusWordText(0x6A82), "file or application not found");
    EXPECT_EQ(kl::apdu::statusWordText(0x63C2), "verification failed, 2 tries left");
    EXPECT_EQ(kl::apdu::statusWordText(0x6115), "21 more bytes available (GET RESPONSE)");
}

TEST(CliHistory, PinsAndKeysAreMaskedAndTheFileIsPrivate) {
    EXPECT_EQ(kl::apdu::maskSecrets(hex("0020000003123456")), "0020000003******");
    EXPECT_EQ(kl::apdu::maskSecrets(hex("805E00000A112233445566778899AA")), "805E00000A********************");
    EXPECT_EQ(kl::apdu::maskSecrets(hex("0024000106123456654321")), "0024000106************");
    // VERIFY without data asks for the tries left; other commands are shown whole.
    EXPECT_EQ(kl::apdu::maskSecrets(hex("0020000000")), "0020000000");
    EXPECT_EQ(kl::apdu::maskSecrets(hex("00A40000023F00")), "00A40000023F00");
    const std::string path = testing::TempDir() + "kovalink-history-" + std::to_string(::getpid());
    kl::apdu::appendHistory(path, "cpu-a", hex("0020000003123456"), hex("9000"));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    EXPECT_NE(line.find(" cpu-a 0020000003****** -> 9000"), std::string::npos) << line;
    EXPECT_EQ(line.find("123456"), std::string::npos) << line;
    ::unlink(path.c_str());
}

TEST(CliCardAnswer, AtsOfADesfireCard) {
    // UID 04 11 22 33 44 55 66, then the ATS 06 75 77 81 02 80 of a DESFire EV1.
    const auto out = kl::apdu::decodeUidAndAts(hex("04112233445566067577810280"));
    EXPECT_EQ(out["uid"], "04112233445566");
    EXPECT_EQ(out["ats"], "067577810280");
    EXPECT_EQ(out["valid"], true);
    EXPECT_EQ(out["fsc"], 64);
    EXPECT_EQ(out["fwi"], 8);
    EXPECT_EQ(out["sfgi"], 1);
    EXPECT_EQ(out["cid_supported"], true);
    EXPECT_EQ(out["nad_supported"], false);
    EXPECT_EQ(out["historical_bytes"], "80");
    EXPECT_EQ(kl::apdu::decodeAts(hex("0775")).value("valid", true), false);
}

TEST(CliCardAnswer, AtrOfAContactlessStorageCardAndBrokenOnes) {
    // The PC/SC ATR of a Mifare Classic 1K: T=0 and T=1 offered, 15 historical bytes, TCK 6A.
    const auto out = kl::apdu::decodeAtr(hex("3B8F8001804F0CA000000306030001000000006A"));
    EXPECT_EQ(out["valid"], true) << out.dump();
    EXPECT_EQ(out["convention"], "direct");
    EXPECT_EQ(out["protocols"], kl::apdu::AnswerJson::array({"T=0", "T=1"}));
    EXPECT_EQ(out["historical_bytes"], "804F0CA00000030603000100000000");
    EXPECT_EQ(kl::apdu::decodeAtr(hex("3B8F8001804F0CA000000306030001000000006B"))["problem"], "the check byte TCK is wrong");
    EXPECT_EQ(kl::apdu::decodeAtr(hex("3B8F80"))["valid"], false);
    // T=0 only: no TCK. 3B 02 14 50: two historical bytes.
    const auto t0 = kl::apdu::decodeAtr(hex("3B021450"));
    EXPECT_EQ(t0["valid"], true) << t0.dump();
    EXPECT_EQ(t0["historical_bytes"], "1450");
}

TEST(CliText, RecordsInTableCellsShowTheirRawValueOrTheirMembers) {
    const kl::Json cards = kl::Json::parse(R"({"cards": [
        {"uid": "A1B2", "ats": {"ats": "0978", "fsci": 8}},
        {"uid": "C3D4", "ats": {"fsci": 5, "valid": false}},
        {"uid": "E5F6", "ats": null}]})");
    std::ostringstream out;
    kl::printText(out, cards);
    EXPECT_EQ(out.str(),
              "cards:\n"
              "  uid   ats\n"
              "  A1B2  0978\n"
              "  C3D4  fsci=5 valid=false\n"
              "  E5F6  -\n");
}

}  // namespace
