// The caption table of the Mifare Classic pages (1K and 4K share it), and
// the few texts of their own.
#pragma once

#include "shell/message_table.h"

namespace mifare_text {

enum Caption {
    kPurse = 0,         // "钱包功能"
    kOperation = 1,     // "操作窗口"
    kSearch = 2,        // "寻卡带初始化"
    kSector = 3,        // "扇区号"
    kWriteBlock = 4,    // "写卡块号"
    kKeyA = 5,          // "A 密钥"
    kKeyB = 6,          // "B 密钥"
    kKey = 7,           // "密钥"
    kData = 8,          // "数据"
    kInitialise = 9,    // "初始化"
    kIncrease = 10,     // "充值"
    kDecrease = 11,     // "扣款"
    kBalance = 12,      // "读余额"
    kReadCard = 13,     // "读卡"
    kWriteCard = 14,    // "写卡"
    kBlock = 15,        // "块号"
    kAntenna = 16,      // "天线编号"
    kUid = 17,          // "卡片UID"
};

const TextPair& caption(Caption index);

// The trailer's access-bit field, which has no caption of its own.
extern const TextPair kAccessBits;
// A trailer whose access-bit copies disagree would make its sector unusable.
extern const TextPair kBadAccessBits;

}  // namespace mifare_text
