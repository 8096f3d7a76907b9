#include "shell/message_table.h"

#include <iterator>

// The program's messages; pages refer to them by number.
static const TextPair kMessages[] = {
    {"连接设备失败!", "Connect device failed!"},  // 0
    {"操作成功!", "Operation Success!"},  // 1
    {"设备未连接", "Cannot connect to device"},  // 2
    {"寻卡操作成功", "Search card successfully"},  // 3
    {"请在密钥区输入6个字节的密钥", "Please input 6 bytes key"},  // 4
    {"请在数据区输入数据", "Please input data in data area"},  // 5
    {"初始化钱包操作成功", "Initialize purse successfullly"},  // 6
    {"充值操作成功", "Add successfully"},  // 7
    {"扣款操作成功", "Decrement successfully"},  // 8
    {"读余额操作成功", "Read successfully"},  // 9
    {"读卡操作成功", "Read card successfully"},  // 10
    {"你确实需要写入第3块号的数据吗?此操作有可能造成卡的不可用!", "Do you really write third block data?"},  // 11
    {"写卡操作成功", "Write card successfully"},  // 12
    {"读Page: %d 页发生错误!", "Read page: %d failed!"},  // 13
    {"请在密码区输满8个字节的密码!", "Please input 8 bytes key"},  // 14
    {"验证操作成功", "Check operation success"},  // 15
    {"请在LOCK区输满4个字节!", "Please input 4 bytes in lock area!"},  // 16
    {"LOCK操作成功", "LOCK operation success"},  // 17
    {"请在签名区输满6个字节!", "Please input 6 bytes in Idiograph area!"},  // 18
    {"记数操作成功", "Count operation success"},  // 19
    {"读Block: %d 页发生错误!", "Read Block: %d failed!"},  // 20
    {"你确定需要进行块锁定操作?", "Do you really need to lock block?"},  // 21
    {"块锁定操作成功", "Lock block success"},  // 22
    {"读取UID成功", "Read UID success"},  // 23
    {"复位操作成功", "Reset operation success"},  // 24
    {"cos命令不得少于5字节!", "cos command must more than 5 bytes!"},  // 25
    {"发送操作成功", "Send operation success"},  // 26
    {"请在密钥区需要有8或16个字节的密文", "Please input 8 or 16 bytes key in key area"},  // 27
    {"数据区数据长度必需8个字节的整数倍", "date length must be 8 multiple in data area"},  // 28
    {"连接操作成功", "Connect device success"},  // 29
    {"读取产品信息操作成功", "Read product infomation successfully"},  // 30
    {"读取设备标记操作成功", "Read product flag successfully"},  // 31
    {"请输满2个字节的设备标记", "Please input 2 bytes device flag"},  // 32
    {"写入设备标记操作成功", "Write device flag successfully"},  // 33
    {"设置蜂鸣时间操作成功", "Set beep time successfully"},  // 34
    {"设置指示灯颜色操作成功", "Set light color successfully"},  // 35
    {"设置天线状态操作成功", "Set antenna status successfully"},  // 36
    {"断开操作成功", "Disconnect operation successfully"},  // 37
    {"初始化工作类型失败", "Initialize working type failed"},  // 38
    {"ISO15693获得系统信息失败", "ISO15693_Get_System_Information failed"},  // 39
    {"ISO15693获得系统信息成功", "ISO15693_Get_System_Information successfully"},  // 40
    {"UID的值不是8个Byte", "The UID is not 8 Bytes"},  // 41
    {"DSFID的值不能为空!", "The DSFID value can not be Null!"},  // 42
    {"ISO15693_Write_DSFID操作成功!", "ISO15693_Write_DSFID successfully!"},  // 43
    {"ISO15693_Lock_DSFID操作成功!", "ISO15693_Lock_DSFID successfully!"},  // 44
    {"AFI的值不能为空!", "The AFI value can not be Null!"},  // 45
    {"ISO15693_Write_AFI 操作成功", "ISO15693_Write_AFI successfully"},  // 46
    {"ISO15693_Lock_AFI 操作成功", "ISO15693_Lock_AFI successfully"},  // 47
    {"请在对应的Block处输入4 byte数据", "Please input 4 bytes data"},  // 48
    {"您确定要锁定EAS吗？锁定EAS后不能再被更改！", "Do you really lock the EAS?"},  // 49
    {"您确定要锁定AFI吗？锁定AFI后不能再被更改！", "Do you really lock the AFI?"},  // 50
    {"您确定要锁定DSFID吗？锁定DSFID后不能再被更改！", "Do you really lock the DSFID?"},  // 51
    {"您确定要锁块吗？锁块之后该块不能再被更改！", "Do you really lock the block?"},  // 52
    {"Stay Quiet操作成功", "Stay Quiet successfully"},  // 53
    {"ResetToReady操作成功", "Reset To Ready successfully"},  // 54
    {"Set EAS操作成功", "Set EAS successfully"},  // 55
    {"Lock EAS操作成功", "Lock EAS successfully"},  // 56
    {"Reset EAS操作成功", "Reset EAS successfully"},  // 57
    {"EAS Alarm操作成功", "EAS Alarm successfully"},  // 58
    {"卡休眠操作成功", "Halt Card successfully"},  // 59
    {"SRX卡Completion操作成功", "SRX Card Completion successfully"},  // 60
    {"块锁定+设定Chip_ID操作成功", "Block lock+Set Chip_ID successfully"},  // 61
    {"PPS数据长度不正确", "The Length of PPS is wrong"},  // 62
    {"输入不能为空", "Input Can not be NULL"},  // 63
    {"结束页不能小于起始页", "The end of the page can not be less than the start page"},  // 64
    {"超出最大读取范围,最大值为15页", "Beyond the maximum read range,max value=15"},  // 65
    {"您确定要写入该页数据吗？", "Do you really want to write the page？"},  // 66
    {"CPU大卡不存在", "Contact CPU card not present"},  // 67
    {"CPU大卡存在", "Contact CPU card present"},  // 68
    {"CPU大卡座VG短路", "Contact card base VG short"},  // 69
    {"CPU大卡座VG不短路", "Contact card base VG not short"},  // 70
};
static_assert(std::size(kMessages) == MessageTable::kCount, "71 messages");

QString TextPair::pick(int language) const { return QString::fromUtf8(language == 1 ? en : zh); }

const TextPair& MessageTable::entry(int index) {
    static const TextPair missing{"", ""};
    return index >= 0 && index < kCount ? kMessages[index] : missing;
}

QString MessageTable::text(int index, int language) { return entry(index).pick(language); }

const TextPair StripTexts::kSuccessWithLabel{" 操作成功", " Operation success"};
const TextPair StripTexts::kJoiner{" ,函数: ", " ,Function: "};
const TextPair StripTexts::kSuccess{"操作成功", "Operation success"};
