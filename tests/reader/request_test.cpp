// The payload builder refuses what one frame cannot carry.
#include <gtest/gtest.h>

#include <vector>

#include "request.h"

namespace {

TEST(Payload, LaysOutIntegersInBothByteOrders) {
    kv::Payload p;
    p.u8(0x1FF).be16(0x0102).le16(0x0304).le32(0xFFFFFFFEu);
    const std::vector<std::uint8_t> got(p.data(), p.data() + p.size());
    EXPECT_EQ(got, (std::vector<std::uint8_t>{0xFF, 0x01, 0x02, 0x04, 0x03, 0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_TRUE(p.valid());
}

TEST(Payload, RefusesNullDataAndOverlongPayloads) {
    EXPECT_FALSE(kv::Payload().bytes(nullptr, 3).valid());
    EXPECT_TRUE(kv::Payload().bytes(nullptr, 0).valid());

    const std::vector<std::uint8_t> max(252, 0xAA);
    EXPECT_TRUE(kv::Payload().bytes(max.data(), max.size()).valid());
    EXPECT_FALSE(kv::Payload().bytes(max.data(), max.size()).u8(1).valid());
    kv::Payload byte_by_byte;
    for (int i = 0; i < 253; ++i) byte_by_byte.u8(i);
    EXPECT_FALSE(byte_by_byte.valid());
}

// u8() once past the limit used to take the size to 253, after which the
// room left for bytes() wrapped to a huge count and the copy overran.
TEST(Payload, BytesAfterU8PastTheLimitIsRefusedWithoutWriting) {
    kv::Payload p;
    for (int i = 0; i < 253; ++i) p.u8(0x11);
    const std::vector<std::uint8_t> more(40, 0xEE);
    p.bytes(more.data(), more.size());
    EXPECT_FALSE(p.valid());
    ASSERT_EQ(p.size(), 252);
    EXPECT_EQ(std::vector<std::uint8_t>(p.data(), p.data() + p.size()), std::vector<std::uint8_t>(252, 0x11));
}

TEST(Request, RefusedPayloadSendsNothingAndKeepsTheLastStatus) {
    kv::g_lastStatus = 42;
    kv::Request request(0, 0x1D, kv::Payload().bytes(nullptr, 1));
    EXPECT_EQ(request.run(), 1);
    EXPECT_EQ(kv::g_lastStatus, 42);
}

}  // namespace
