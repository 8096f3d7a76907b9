#include "pages/mifare_texts.h"

namespace mifare_text {

namespace {
const TextPair kCaptions[] = {
    {"钱包功能", "Purse Function"},     // 0
    {"操作窗口", "Operation Window"},   // 1
    {"寻卡带初始化", "Request With Init"},  // 2
    {"扇区号", "Sector"},               // 3
    {"写卡块号", "Write Block"},        // 4
    {"A 密钥", "A Key"},                // 5
    {"B 密钥", "B Key"},                // 6
    {"密钥", "Key"},                    // 7
    {"数据", "Data"},                   // 8
    {"初始化", "Initialize"},           // 9
    {"充值", "Increase"},               // 10
    {"扣款", "Decrease"},               // 11
    {"读余额", "Balance"},              // 12
    {"读卡", "Read Card"},              // 13
    {"写卡", "Write Card"},             // 14
    {"块号", "Block"},                  // 15
    {"天线编号", "Antenna Number"},     // 16
    {"卡片UID", "Tag UID"},             // 17
};
}  // namespace

const TextPair& caption(Caption index) { return kCaptions[index]; }

const TextPair kAccessBits = {"控制位", "Access Bits"};
const TextPair kBadAccessBits = {"控制位的反码不一致, 写入后该扇区将永久不可用!",
                                 "The access bits do not match their inverted copies: the sector would become "
                                 "unusable for ever!"};

}  // namespace mifare_text
