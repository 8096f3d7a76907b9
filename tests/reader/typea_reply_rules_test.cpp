// Reply handling of the type A exports whose rule is their own (length
// written first, one of several lengths, empty reply, the value): a
// scripted transport answers with replies a simulated card never gives.
#include <gtest/gtest.h>

#include <vector>

#include "KovalinkHID.h"
#include "binding.h"
#include "frame.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes g_reply_payload;
std::uint8_t g_reply_status = 0;
int g_exchanges = 0;

// Answers every request with status g_reply_status and g_reply_payload.
int KV_STDCALL scriptedExchange(const unsigned char*, unsigned int, unsigned char* reply, int* reply_length) {
    ++g_exchanges;
    Bytes body = {0x00, 0x00, static_cast<std::uint8_t>(g_reply_payload.size() + 3), 0x00, g_reply_status};
    body.insert(body.end(), g_reply_payload.begin(), g_reply_payload.end());
    unsigned sum = 0;
    for (const std::uint8_t b : body) sum += b;
    body.push_back(static_cast<std::uint8_t>(sum));
    int n = 0;
    reply[n++] = 0x02;
    for (const std::uint8_t b : body) {
        if (b == 0x02 || b == 0x03 || b == 0x10) reply[n++] = 0x10;
        reply[n++] = b;
    }
    reply[n++] = 0x03;
    *reply_length = n;
    return 0;
}

class TypeAReplyRules : public ::testing::Test {
protected:
    void SetUp() override {
        if (kv::g_transport.get() == nullptr) kv::g_transport.reset(new kv::CDllMstCom(kv::ownFolder()));
        saved_ = kv::g_transport.get()->CommunicateRFResult;
        kv::g_transport.get()->CommunicateRFResult = scriptedExchange;
        g_exchanges = 0;
        g_reply_status = 0;
    }
    void TearDown() override { kv::g_transport.get()->CommunicateRFResult = saved_; }

    void replyWith(Bytes payload) { g_reply_payload = std::move(payload); }

    kv::CDllMstCom::CommunicateFn saved_ = nullptr;
    unsigned char out[256] = {};
    unsigned char len = 0xEE;
};

TEST_F(TypeAReplyRules, Request1WritesTheLengthBeforeItsCheck) {
    replyWith({1, 2, 3, 4, 5});
    EXPECT_EQ(rf_request1(0, 0x52, out, &len), 1);
    EXPECT_EQ(len, 5);
    EXPECT_EQ(out[0], 0) << "uid untouched";
    EXPECT_EQ(rf_GetErrorMessage(), 0);
    for (const std::size_t n : {4u, 7u, 10u}) {
        replyWith(Bytes(n, 0xAB));
        EXPECT_EQ(rf_request1(0, 0x52, out, &len), 0);
        EXPECT_EQ(len, n);
        EXPECT_EQ(out[n - 1], 0xAB);
    }
}

TEST_F(TypeAReplyRules, UltralightSelectAcceptsOnlySevenBytes) {
    replyWith({1, 2, 3, 4});
    EXPECT_EQ(rf_ul_select(0, out, &len), 1);
    EXPECT_EQ(len, 4);
    EXPECT_EQ(out[0], 0);
    replyWith({1, 2, 3, 4, 5, 6, 7});
    EXPECT_EQ(rf_ul_select(0, out, &len), 0);
    EXPECT_EQ(len, 7);
    EXPECT_EQ(out[6], 7);
}

TEST_F(TypeAReplyRules, OneShotRequestWritesNothingForOtherLengths) {
    replyWith({1, 2, 3, 4, 5});
    EXPECT_EQ(rf_request_same_K62TX(0, 0x26, out, &len), 1);
    EXPECT_EQ(len, 0xEE);
    replyWith(Bytes(10, 0x31));
    EXPECT_EQ(rf_request_same_K62TX(0, 0x26, out, &len), 0);
    EXPECT_EQ(len, 10);
}

TEST_F(TypeAReplyRules, ExactRepliesOfTheWrongLength) {
    int value = 77;
    replyWith({1, 2, 3, 4, 5});
    EXPECT_EQ(rf_M1_readval(0, 4, &value), 1);
    EXPECT_EQ(rf_M1_Read_Purse_same_K62TX(0, 0x60, 4, out, &value), 1);
    EXPECT_EQ(value, 77);
    EXPECT_EQ(rf_request(0, 0x52, out), 1);
    EXPECT_EQ(rf_select(0, out, 4, out), 1);
    EXPECT_EQ(rf_check_card(0, out), 1);
    EXPECT_EQ(rf_request_080(0, 0x52, 0, out, &len), 1);
    EXPECT_EQ(len, 0xEE);
    EXPECT_EQ(rf_flash_card_read(0, 0, 0, 4, out), 1);
    EXPECT_EQ(rf_flash_card_read(0, 0, 0, 5, out), 0);
    replyWith({0x78, 0x56, 0x34, 0x12});
    EXPECT_EQ(rf_M1_readval(0, 4, &value), 0);
    EXPECT_EQ(value, 0x12345678);
    replyWith(Bytes(8, 0x08));
    EXPECT_EQ(rf_request_080(0, 0x52, 0, out, &len), 0);
    EXPECT_EQ(len, 8);
}

TEST_F(TypeAReplyRules, CardPageWriteWantsAnEmptyReply) {
    replyWith({0});
    EXPECT_EQ(rf_flash_card_write(0, 0, 0, 4, out), 1);
    replyWith({});
    EXPECT_EQ(rf_flash_card_write(0, 0, 0, 4, out), 0);
}

TEST_F(TypeAReplyRules, VariableRepliesMayBeEmpty) {
    replyWith({});
    EXPECT_EQ(rf_M1_read(0, 4, out, &len), 0);
    EXPECT_EQ(len, 0);
    replyWith(Bytes(252, 0x11));
    EXPECT_EQ(rf_M1_read_sector_same_K62TX(0, 0x60, 1, out, out, &len), 0);
    EXPECT_EQ(len, 252);
}

TEST_F(TypeAReplyRules, ReaderStatusWinsAndWritesNoOutput) {
    g_reply_status = 0x2C;
    replyWith({1, 2, 3, 4});
    EXPECT_EQ(rf_request1(0, 0x52, out, &len), 0x2C);
    EXPECT_EQ(len, 0xEE);
    EXPECT_EQ(rf_GetErrorMessage(), 0x2C);
}

TEST_F(TypeAReplyRules, CardSearchStopsAtTheFailingStep) {
    // Both requests refused: -1 after exactly two exchanges.
    g_reply_status = 0x0A;
    unsigned char tag_type[4] = {0, 0, 1, 1};
    EXPECT_EQ(rf_getlockcardinfo(0, 0x52, out, &len, tag_type), -1);
    EXPECT_EQ(g_exchanges, 2);
    // An Ultralight select whose reply is not 7 bytes long stops at -5.
    g_reply_status = 0;
    replyWith({0x44, 0x00});
    EXPECT_EQ(rf_getlockcardinfo(0, 0x52, out, &len, tag_type), -5);
}

}  // namespace
