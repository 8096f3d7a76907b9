// The caption table the ISO14443-4 type A and type B pages share.
#pragma once

#include "shell/message_table.h"

namespace iso14443captions {

inline const TextPair kCaptions[] = {
    {"COS命令", "COS Command"},                                 // 0: 1140
    {"数据信息", "Data Infomation"},                            // 1: 1065
    {"复位信息", "ResetInfo"},                                  // 2: 1097
    {"返回结果", "Result"},                                     // 3: 1098
    {"发送", "Send"},                                           // 4: 1057
    {"复位", "Reset"},                                          // 5: 1064
    {"清除结果", "Clear"},                                      // 6: 1067
    {"适用卡片", "Apply Card"},                                 // 7: 1099
    {"其他ISO14443A-4兼容卡", "ISO14443A-4 Compatible Card"},  // 8: 1100 (type A)
    {"ISO14443B-4兼容卡", "ISO14443B-4 Compatible Card"},      // 9: 1100 (type B)
    {"读取二代证UID", "Get NameCard UID"},                      // 10: 1016 (type B)
};

}  // namespace iso14443captions
