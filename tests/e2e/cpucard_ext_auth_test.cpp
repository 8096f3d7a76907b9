// External authentication computed by the library (rf_CPU_Tag_Ext_Auth)
// against simulated cards that check the cryptogram.
#include "processor_test_support.h"

using ptest::h;

namespace {

const sim::Bytes kKey = h("404142434445464748494A4B4C4D4E4F");

class TagExtAuth : public ptest::ProcessorTest {
protected:
    void activate(const std::string& spec) {
        place(spec);
        family('A');
        ASSERT_EQ(rf_typea_rst(0, 0x52, buffer, &length), 0);
        takeRequests();
    }
    int authenticate(unsigned char diversify, const sim::Bytes& uid, const sim::Bytes& key, unsigned char key_id = 0) {
        return rf_CPU_Tag_Ext_Auth(0, diversify, static_cast<unsigned char>(uid.size()), uid.data(), key_id,
                                   static_cast<unsigned char>(key.size()), key.data(), buffer, &length);
    }
    // The payloads of the requests sent since the last call.
    std::vector<sim::Bytes> payloads() {
        std::vector<sim::Bytes> out;
        common::FrameDecoder decoder;
        for (const sim::Bytes& raw : takeRequests()) {
            std::vector<common::DecodedFrame> frames;
            decoder.feed(raw.data(), raw.size(), frames);
            for (const auto& f : frames) out.push_back(f.command.payload);
        }
        return out;
    }
};

TEST_F(TagExtAuth, SucceedsWithTheCardsKeyAndSendsTwoApdus) {
    activate("cpu-a:key=404142434445464748494A4B4C4D4E4F");
    ASSERT_EQ(authenticate(0, {}, kKey, 0), 0);
    EXPECT_EQ(answer(), "90 00");
    const std::vector<sim::Bytes> sent = payloads();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sim::hex(sent[0]), "00 84 00 00 08");
    ASSERT_EQ(sent[1].size(), 13u);
    EXPECT_EQ(sim::hex(sim::Bytes(sent[1].begin(), sent[1].begin() + 5)), "00 82 00 00 08");
    EXPECT_EQ(rf_GetErrorMessage(), 0);
}

TEST_F(TagExtAuth, SingleDesKey) {
    activate("cpu-a:key=0123456789ABCDEF");
    ASSERT_EQ(authenticate(2, {}, h("0123456789ABCDEF")), 0);
    EXPECT_EQ(answer(), "90 00");
}

TEST_F(TagExtAuth, WrongKeyCountsDownAndBlocks) {
    activate("cpu-a:key=404142434445464748494A4B4C4D4E4F,tries=2");
    const sim::Bytes wrong(16, 0x00);
    ASSERT_EQ(authenticate(0, {}, wrong), 0);  // the card's verdict is in the answer
    EXPECT_EQ(answer(), "63 C1");
    ASSERT_EQ(authenticate(0, {}, wrong), 0);
    EXPECT_EQ(answer(), "63 C0");
    ASSERT_EQ(authenticate(0, {}, kKey), 0);
    EXPECT_EQ(answer(), "69 83");
}

TEST_F(TagExtAuth, DiversifiesOverTheUidPaddedOrCutToEightBytes) {
    activate("cpu-a:uid=04A1B2C3,key=404142434445464748494A4B4C4D4E4F,diversify=1");
    ASSERT_EQ(authenticate(2, h("04A1B2C3"), kKey), 0);  // the master key itself fails
    EXPECT_EQ(answer(), "63 C2");
    ASSERT_EQ(authenticate(1, h("04A1B2C3"), kKey), 0);
    EXPECT_EQ(answer(), "90 00");
    // The same derivation through the exported helper, used directly.
    unsigned char derived[16];
    const sim::Bytes padded = h("04A1B2C300000000");
    ASSERT_EQ(Key_Scatter(derived, padded.data(), 8, kKey.data(), 16), 0);
    // Computed once with OpenSSL's two-key 3DES of the block and of its complement.
    EXPECT_EQ(sim::hex(sim::Bytes(derived, derived + 16)), "2B F6 F8 E7 2F A2 C8 38 C7 D7 CD 10 6F A9 58 DD");
    ASSERT_EQ(authenticate(2, {}, sim::Bytes(derived, derived + 16)), 0);
    EXPECT_EQ(answer(), "90 00");
}

TEST_F(TagExtAuth, TenByteUidUsesItsFirstEightBytes) {
    activate("cpu-a:uid=0102030405060708090A,key=404142434445464748494A4B4C4D4E4F,diversify=1");
    ASSERT_EQ(authenticate(1, h("0102030405060708090A"), kKey), 0);
    EXPECT_EQ(answer(), "90 00");
    ASSERT_EQ(authenticate(1, h("0102030405060708FFFF"), kKey), 0);
    EXPECT_EQ(answer(), "90 00");
}

TEST_F(TagExtAuth, ChallengeAnswerOtherThan9000StopsAfterOneExchange) {
    // The identity card answers GET CHALLENGE with 6D 00.
    place("idcard-b");
    family('B');
    unsigned char atqb[12];
    ASSERT_EQ(rf_atqb(0, 0, atqb, &length), 0);
    ASSERT_EQ(rf_attrib(0, 0, 0), 0);
    takeRequests();
    length = 0x55;
    EXPECT_EQ(authenticate(0, {}, kKey), 1);
    EXPECT_EQ(length, 0x55);
    EXPECT_EQ(payloads().size(), 1u);
    EXPECT_EQ(rf_GetErrorMessage(), 0);
}

// The second exchange reuses the first one's frame object; a transport
// failure there used to leave the first exchange's status 0 behind.
TEST_F(TagExtAuth, TransportFailureOnTheSecondExchangeRecordsStatusOne) {
    activate("cpu-a:key=404142434445464748494A4B4C4D4E4F");
    server->inject(sim::Fault{});  // the challenge is answered as usual
    sim::Fault unplug;
    std::string why;
    ASSERT_TRUE(sim::Fault::parse("unplug-reply=0", &unplug, &why)) << why;
    server->inject(unplug);
    EXPECT_EQ(authenticate(0, {}, kKey), 1);
    EXPECT_EQ(payloads().size(), 2u);
    EXPECT_EQ(rf_GetErrorMessage(), 1);
}

TEST_F(TagExtAuth, RefusalsSendNothing) {
    activate("cpu-a");
    EXPECT_EQ(authenticate(0, {}, h("404142434445464748494A4B")), 1);
    EXPECT_EQ(authenticate(0, {}, {}), 1);
    EXPECT_EQ(rf_CPU_Tag_Ext_Auth(0, 1, 4, nullptr, 0, 16, kKey.data(), buffer, &length), 1);
    EXPECT_EQ(rf_CPU_Tag_Ext_Auth(0, 0, 0, nullptr, 0, 16, nullptr, buffer, &length), 1);
    EXPECT_TRUE(payloads().empty());
    // No activated card: the reader's status, after the first exchange.
    ASSERT_EQ(rf_cl_deselect(0), 0);
    takeRequests();
    EXPECT_EQ(authenticate(0, {}, kKey), sim::kNotActivated);
    EXPECT_EQ(payloads().size(), 1u);
}

}  // namespace
