// Reply handling of the label and chip commands against a scripted reader:
// replies of any length, including ones the simulator never gives.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "KovalinkHID.h"
#include "binding.h"
#include "frame.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The scripted reader: records each request, answers with `reply_payload`
// under `reply_status`.
struct Script {
    std::vector<Bytes> requests;
    std::uint8_t reply_status = 0;
    Bytes reply_payload;
};
Script script;

int KV_STDCALL scriptedExchange(const unsigned char* request, unsigned int request_length, unsigned char* reply,
                                int* reply_length) {
    script.requests.emplace_back(request, request + request_length);
    Bytes body{0x00, 0x00, static_cast<std::uint8_t>(script.reply_payload.size() + 3), request[4], script.reply_status};
    body.insert(body.end(), script.reply_payload.begin(), script.reply_payload.end());
    std::uint8_t sum = 0;
    for (std::uint8_t b : body) sum = static_cast<std::uint8_t>(sum + b);
    body.push_back(sum);
    Bytes wire{0x02};
    for (std::uint8_t b : body) {
        if (b == 0x02 || b == 0x03 || b == 0x10) wire.push_back(0x10);
        wire.push_back(b);
    }
    wire.push_back(0x03);
    std::memcpy(reply, wire.data(), wire.size());
    *reply_length = static_cast<int>(wire.size());
    return 0;
}

class TagReplies : public ::testing::Test {
protected:
    void SetUp() override {
        if (kv::g_transport.get() == nullptr) kv::g_transport.reset(new kv::CDllMstCom("/nonexistent"));
        saved_ = kv::g_transport.get()->CommunicateRFResult;
        kv::g_transport.get()->CommunicateRFResult = scriptedExchange;
        script = Script();
        std::memset(out, 0xEE, sizeof out);
    }
    void TearDown() override { kv::g_transport.get()->CommunicateRFResult = saved_; }
    void answer(Bytes payload, std::uint8_t status = 0) {
        script.reply_payload = std::move(payload);
        script.reply_status = status;
    }
    bool untouched(std::size_t from = 0) const {
        for (std::size_t i = from; i < sizeof out; ++i) {
            if (out[i] != 0xEE) return false;
        }
        return true;
    }

    kv::CDllMstCom::CommunicateFn saved_ = nullptr;
    unsigned char out[256];
};

TEST_F(TagReplies, InventoryWritesTheLengthBeforeRefusingAShortReply) {
    unsigned char len = 0;
    answer(Bytes(8, 0x11));
    EXPECT_EQ(ISO15693_Inventory(0, out, &len), 1);
    EXPECT_EQ(len, 8);
    EXPECT_TRUE(untouched());
    answer(Bytes(18, 0x22));
    EXPECT_EQ(ISO15693_Inventory(0, out, &len), 0);
    EXPECT_EQ(len, 18);
    EXPECT_EQ(Bytes(out, out + 18), Bytes(18, 0x22));
    EXPECT_TRUE(untouched(18));
}

TEST_F(TagReplies, LengthFirstReadersWantExactlyTheirSize) {
    struct Case {
        const char* name;
        int size;
        int (*call)(unsigned char* data, unsigned char* len);
    };
    const Case cases[] = {
        {"rf_sr176_readblock", 2, [](unsigned char* d, unsigned char* l) { return rf_sr176_readblock(0, 1, d, l); }},
        {"rf_srix4k_readblock", 4, [](unsigned char* d, unsigned char* l) { return rf_srix4k_readblock(0, 1, d, l); }},
        {"rf_srix4k_getuid", 8, [](unsigned char* d, unsigned char* l) { return rf_srix4k_getuid(0, d, l); }},
        {"rf_at020_read", 8, [](unsigned char* d, unsigned char* l) { return rf_at020_read(0, 1, d, l); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        unsigned char len = 0;
        std::memset(out, 0xEE, sizeof out);
        answer(Bytes(static_cast<std::size_t>(c.size) + 1, 0x33));
        EXPECT_EQ(c.call(out, &len), 1);
        EXPECT_EQ(len, c.size + 1);
        EXPECT_TRUE(untouched());
        answer(Bytes(static_cast<std::size_t>(c.size) - 1, 0x33));
        EXPECT_EQ(c.call(out, &len), 1);
        EXPECT_EQ(len, c.size - 1);
        answer(Bytes(static_cast<std::size_t>(c.size), 0x44));
        EXPECT_EQ(c.call(out, &len), 0);
        EXPECT_EQ(len, c.size);
        EXPECT_EQ(Bytes(out, out + c.size), Bytes(static_cast<std::size_t>(c.size), 0x44));
        EXPECT_TRUE(untouched(static_cast<std::size_t>(c.size)));
    }
}

TEST_F(TagReplies, FelicaLengthIsAWholeInteger) {
    int len = -1;
    answer({1, 2, 3, 4, 5});
    EXPECT_EQ(rf_felica_get_uid(0, out, &len), 1);
    EXPECT_EQ(len, 5);
    EXPECT_TRUE(untouched());
    answer({1, 2, 3, 4, 5, 6});
    EXPECT_EQ(rf_felica_get_uid(0, out, &len), 0);
    EXPECT_EQ(len, 6);
    EXPECT_EQ(Bytes(out, out + 6), (Bytes{1, 2, 3, 4, 5, 6}));
}

TEST_F(TagReplies, UnsizedRepliesAreCopiedWhole) {
    answer({0x2A});
    EXPECT_EQ(rf_st_select(0, out), 0);
    EXPECT_EQ(out[0], 0x2A);
    EXPECT_TRUE(untouched(1));
    std::memset(out, 0xEE, sizeof out);
    answer({});
    EXPECT_EQ(rf_st_select(0, out), 0);
    EXPECT_TRUE(untouched());

    // The generic label command: the answer replaces the command bytes.
    const unsigned char uid[8] = {};
    unsigned char data[256] = {0x20, 0x05};
    answer({0x00, 0xA1, 0xA2, 0xA3, 0xA4});
    EXPECT_EQ(ISO15693_Command(0, 0x22, uid, 2, data), 0);
    EXPECT_EQ(Bytes(data, data + 5), (Bytes{0x00, 0xA1, 0xA2, 0xA3, 0xA4}));
    unsigned char kept[4] = {0x5A, 0x5A, 0x5A, 0x5A};
    answer({});
    EXPECT_EQ(ISO15693_Command(0, 0x22, uid, 0, kept), 0);
    EXPECT_EQ(script.requests.back().size(), 17u);  // STX, 4 head bytes, 10 payload bytes, checksum, ETX
    EXPECT_EQ(kept[0], 0x5A);
}

TEST_F(TagReplies, AReaderErrorWritesNothing) {
    unsigned char len = 0x77;
    int int_len = 0x77;
    const unsigned char uid[8] = {};
    unsigned char data[256];
    std::memset(data, 0xEE, sizeof data);
    answer({1, 2, 3, 4, 5, 6, 7, 8, 9}, 0x42);
    EXPECT_EQ(ISO15693_Inventory(0, out, &len), 0x42);
    EXPECT_EQ(ISO15693_Read(0, 0x02, uid, 0, 1, out, &len), 0x42);
    EXPECT_EQ(rf_at020_read(0, 1, out, &len), 0x42);
    EXPECT_EQ(rf_felica_get_uid(0, out, &int_len), 0x42);
    EXPECT_EQ(rf_st_select(0, out), 0x42);
    EXPECT_EQ(ISO15693_Command(0, 0x02, uid, 1, data), 0x42);
    EXPECT_EQ(len, 0x77);
    EXPECT_EQ(int_len, 0x77);
    EXPECT_TRUE(untouched());
    EXPECT_EQ(data[1], 0xEE);
    EXPECT_EQ(rf_GetErrorMessage(), 0x42);
}

TEST_F(TagReplies, NullOutputsAreRefusedBeforeSending) {
    unsigned char len = 0;
    int int_len = 0;
    const unsigned char uid[8] = {};
    EXPECT_EQ(ISO15693_Inventory(0, nullptr, &len), 1);
    EXPECT_EQ(rf_srix4k_readblock(0, 1, out, nullptr), 1);
    EXPECT_EQ(rf_felica_get_uid(0, nullptr, &int_len), 1);
    EXPECT_EQ(rf_st_select(0, nullptr), 1);
    EXPECT_EQ(ISO15693_Write(0, 0x02, uid, 1, nullptr), 1);
    EXPECT_EQ(rf_at020_check(0, nullptr), 1);
    EXPECT_TRUE(script.requests.empty());
}

}  // namespace
