// ISO15693 commands put exactly their fields on the wire, and the limits on
// block counts refuse a call before anything is sent.
#include <gtest/gtest.h>

#include <functional>

#include "support/sim_fixture.h"
#include "cards/toolkit.h"
#include "frame_codec.h"

namespace {

using sim::Bytes;

const unsigned char kUid[8] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x04, 0xE0};
const Bytes kHead = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x04, 0xE0};  // flags 0x02 and the UID

Bytes head(Bytes tail) {
    Bytes all = kHead;
    all.insert(all.end(), tail.begin(), tail.end());
    return all;
}

class Iso15693Requests : public kvtest::SimReaderTest {
protected:
    // The one frame `call` sent.
    void expectFrame(const std::function<int()>& call, std::uint8_t code, const Bytes& payload) {
        takeRequests();
        call();
        EXPECT_EQ(takeRequests(), std::vector<Bytes>{common::encodeRequest(0, code, payload)})
            << "code " << sim::hex(&code, 1);
    }
    void expectRefused(const std::function<int()>& call) {
        takeRequests();
        EXPECT_EQ(call(), 1);
        EXPECT_TRUE(takeRequests().empty());
    }
    unsigned char out[256] = {};
    unsigned char len = 0;
};

TEST_F(Iso15693Requests, EachCommandSendsItsCodeFlagsUidAndFields) {
    const unsigned char block[4] = {0xA0, 0xA1, 0xA2, 0xA3};
    expectFrame([&] { return ISO15693_Inventory(0, out, &len); }, 0x70, {});
    expectFrame([&] { return ISO15693_Inventorys(0, out, &len); }, 0x85, {});
    // Stay quiet and select carry the UID alone, without flags.
    expectFrame([&] { return ISO15693_Stay_Quiet(0, kUid); }, 0x71, Bytes(kUid, kUid + 8));
    expectFrame([&] { return ISO15693_Select(0, kUid); }, 0x72, Bytes(kUid, kUid + 8));
    expectFrame([&] { return ISO15693_Reset_To_Ready(0, 0x02, kUid); }, 0x73, kHead);
    expectFrame([&] { return ISO15693_Read(0, 0x02, kUid, 3, 14, out, &len); }, 0x74, head({3, 14}));
    expectFrame([&] { return ISO15693_Write(0, 0x02, kUid, 5, block); }, 0x75, head({5, 0xA0, 0xA1, 0xA2, 0xA3}));
    expectFrame([&] { return ISO15693_Lock_Block(0, 0x02, kUid, 6); }, 0x76, head({6}));
    expectFrame([&] { return ISO15693_Write_AFI(0, 0x02, kUid, 0x33); }, 0x77, head({0x33}));
    expectFrame([&] { return ISO15693_Lock_AFI(0, 0x02, kUid); }, 0x78, kHead);
    expectFrame([&] { return ISO15693_Write_DSFID(0, 0x02, kUid, 0x44); }, 0x79, head({0x44}));
    expectFrame([&] { return ISO15693_Lock_DSFID(0, 0x02, kUid); }, 0x7A, kHead);
    expectFrame([&] { return ISO15693_Get_System_Information(0, 0x02, kUid, out, &len); }, 0x7B, kHead);
    expectFrame([&] { return ISO15693_Get_Block_Security(0, 0x02, kUid, 0, 28, out, &len); }, 0x7C, head({0, 28}));
    expectFrame([&] { return ISO15693_SET_EAS_ICODE(0, 0x02, kUid); }, 0x7D, kHead);
    expectFrame([&] { return ISO15693_RESET_EAS_ICODE(0, 0x02, kUid); }, 0x7E, kHead);
    expectFrame([&] { return ISO15693_LOCK_EAS_ICODE(0, 0x02, kUid); }, 0x7F, kHead);
    expectFrame([&] { return ISO15693_EAS_ALARM_ICODE(0, 0x02, kUid, out, &len); }, 0x80, kHead);
    unsigned char command[256] = {0x20, 0x07};
    expectFrame([&] { return ISO15693_Command(0, 0x02, kUid, 2, command); }, 0x6D, head({2, 0x20, 0x07}));
}

TEST_F(Iso15693Requests, BlockCountLimits) {
    expectFrame([&] { return ISO15693_Read(0, 0x02, kUid, 0, 15, out, &len); }, 0x74, head({0, 15}));
    expectRefused([&] { return ISO15693_Read(0, 0x02, kUid, 0, 16, out, &len); });
    expectFrame([&] { return ISO15693_Get_Block_Security(0, 0x02, kUid, 1, 63, out, &len); }, 0x7C, head({1, 63}));
    expectRefused([&] { return ISO15693_Get_Block_Security(0, 0x02, kUid, 0, 64, out, &len); });

    unsigned char data[44];
    for (int i = 0; i < 44; ++i) data[i] = static_cast<unsigned char>(i);
    Bytes ten = head({2, 10});
    ten.insert(ten.end(), data, data + 40);
    ASSERT_EQ(ten.size(), 51u);
    expectFrame([&] { return ISO15693_Write_Multi_Block(0, 0x02, kUid, 2, 10, data); }, 0x6F, ten);
    expectRefused([&] { return ISO15693_Write_Multi_Block(0, 0x02, kUid, 2, 11, data); });
    expectFrame([&] { return ISO15693_Write_Multi_Block(0, 0x02, kUid, 2, 0, nullptr); }, 0x6F, head({2, 0}));
}

TEST_F(Iso15693Requests, GenericCommandRefusesWhatOneFrameCannotCarry) {
    unsigned char command[256] = {};
    // 242 command bytes and the 10-byte head fill the largest payload.
    takeRequests();
    ISO15693_Command(0, 0x02, kUid, 242, command);
    const std::vector<Bytes> sent = takeRequests();
    ASSERT_EQ(sent.size(), 1u);
    Bytes full = head({242});
    full.resize(full.size() + 242, 0x00);
    EXPECT_EQ(sent[0], common::encodeRequest(0, 0x6D, full));
    expectRefused([&] { return ISO15693_Command(0, 0x02, kUid, 243, command); });
    expectRefused([&] { return ISO15693_Command(0, 0x02, kUid, 255, command); });
    expectRefused([&] { return ISO15693_Command(0, 0x02, kUid, 0, nullptr); });
    expectRefused([&] { return ISO15693_Read(0, 0x02, nullptr, 0, 1, out, &len); });
}

}  // namespace
