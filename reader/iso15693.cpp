// ISO15693 label commands: a flags byte and the label's UID, then the
// command's own fields; the reader runs the air protocol.
#include "KovalinkHID.h"
#include "kv_commands.h"
#include "request.h"

using kv::address16;
using kv::Payload;
namespace cmd = kv::cmd;

namespace {
constexpr int kUidSize = 8;
constexpr int kBlockSize = 4;
constexpr int kInventoryRecord = 9;  // DSFID and UID
constexpr unsigned kReadMax = 15;
constexpr unsigned kSecurityMax = 63;
constexpr unsigned kWriteMultiMax = 10;

// Flags byte and UID: the head of every addressed command.
Payload labelPayload(unsigned char flags, const unsigned char* uid) {
    Payload payload;
    payload.u8(flags).bytes(uid, kUidSize);
    return payload;
}

int labelStatus(int device_address, std::uint8_t code, unsigned char flags, const unsigned char* uid) {
    return kv::sendStatus(address16(device_address), code, labelPayload(flags, uid));
}
}  // namespace

KV_API int KV_STDCALL ISO15693_Inventory(int device_address, unsigned char* data, unsigned char* data_len) {
    return kv::sendLengthFirst(address16(device_address), cmd::ISO15693_Inventory, Payload(), data, data_len,
                               kInventoryRecord, kv::kMaxPayload);
}

KV_API int KV_STDCALL ISO15693_Inventorys(int device_address, unsigned char* data, unsigned char* data_len) {
    return kv::sendVariable(address16(device_address), cmd::ISO15693_Inventorys, Payload(), data, data_len);
}

KV_API int KV_STDCALL ISO15693_Stay_Quiet(int device_address, const unsigned char* uid) {
    return kv::sendStatus(address16(device_address), cmd::ISO15693_Stay_Quiet, Payload().bytes(uid, kUidSize));
}

KV_API int KV_STDCALL ISO15693_Select(int device_address, const unsigned char* uid) {
    return kv::sendStatus(address16(device_address), cmd::ISO15693_Select, Payload().bytes(uid, kUidSize));
}

KV_API int KV_STDCALL ISO15693_Reset_To_Ready(int device_address, unsigned char flags, const unsigned char* uid) {
    return labelStatus(device_address, cmd::ISO15693_Reset_To_Ready, flags, uid);
}

KV_API int KV_STDCALL ISO15693_Read(int device_address, unsigned char flags, const unsigned char* uid,
                                    unsigned char first_block, unsigned char block_count, unsigned char* data,
                                    unsigned char* data_len) {
    if (block_count > kReadMax) return 1;
    return kv::sendVariable(address16(device_address), cmd::ISO15693_Read,
                            labelPayload(flags, uid).u8(first_block).u8(block_count), data, data_len);
}

KV_API int KV_STDCALL ISO15693_Write(int device_address, unsigned char flags, const unsigned char* uid,
                                     unsigned char block, const unsigned char* data) {
    return kv::sendStatus(address16(device_address), cmd::ISO15693_Write,
                          labelPayload(flags, uid).u8(block).bytes(data, kBlockSize));
}

KV_API int KV_STDCALL ISO15693_Write_Multi_Block(int device_address, unsigned char flags, const unsigned char* uid,
                                                 unsigned char first_block, unsigned char block_count,
                                                 const unsigned char* data) {
    if (block_count > kWriteMultiMax) return 1;
    Payload payload = labelPayload(flags, uid);
    payload.u8(first_block).u8(block_count).bytes(data, std::size_t{kBlockSize} * block_count);
    return kv::sendStatus(address16(device_address), cmd::ISO15693_Write_Multi_Block, payload);
}

KV_API int KV_STDCALL ISO15693_Lock_Block(int device_address, unsigned char flags, const unsigned char* uid,
                                          unsigned char block) {
    return kv::sendStatus(address16(device_address), cmd::ISO15693_Lock_Block, labelPayload(flags, uid).u8(block));
}

KV_API int KV_STDCALL ISO15693_Write_AFI(int device_address, unsigned char flags, const unsigned char* uid,
                                         unsigned char afi) {
    return kv::sendStatus(address16(device_address), cmd::ISO15693_Write_AFI, labelPayload(flags, uid).u8(afi));
}

KV_API int KV_STDCALL ISO15693_Lock_AFI(int device_address, unsigned char flags, const unsigned char* uid) {
    return labelStatus(device_address, cmd::ISO15693_Lock_AFI, flags, uid);
}

KV_API int KV_STDCALL ISO15693_Write_DSFID(int device_address, unsigned char flags, const unsigned char* uid,
                                           unsigned char dsfid) {
    return kv::sendStatus(address16(device_address), cmd::ISO15693_Write_DSFID, labelPayload(flags, uid).u8(dsfid));
}

KV_API int KV_STDCALL ISO15693_Lock_DSFID(int device_address, unsigned char flags, const unsigned char* uid) {
    return labelStatus(device_address, cmd::ISO15693_Lock_DSFID, flags, uid);
}

KV_API int KV_STDCALL ISO15693_Get_System_Information(int device_address, unsigned char flags, const unsigned char* uid,
                                                      unsigned char* data, unsigned char* data_len) {
    return kv::sendVariable(address16(device_address), cmd::ISO15693_Get_System_Information, labelPayload(flags, uid),
                            data, data_len);
}

KV_API int KV_STDCALL ISO15693_Get_Block_Security(int device_address, unsigned char flags, const unsigned char* uid,
                                                  unsigned char first_block, unsigned char block_count,
                                                  unsigned char* data, unsigned char* data_len) {
    if (block_count > kSecurityMax) return 1;
    return kv::sendVariable(address16(device_address), cmd::ISO15693_Get_Block_Security,
                            labelPayload(flags, uid).u8(first_block).u8(block_count), data, data_len);
}

KV_API int KV_STDCALL ISO15693_SET_EAS_ICODE(int device_address, unsigned char flags, const unsigned char* uid) {
    return labelStatus(device_address, cmd::ISO15693_SET_EAS_ICODE, flags, uid);
}

KV_API int KV_STDCALL ISO15693_RESET_EAS_ICODE(int device_address, unsigned char flags, const unsigned char* uid) {
    return labelStatus(device_address, cmd::ISO15693_RESET_EAS_ICODE, flags, uid);
}

KV_API int KV_STDCALL ISO15693_LOCK_EAS_ICODE(int device_address, unsigned char flags, const unsigned char* uid) {
    return labelStatus(device_address, cmd::ISO15693_LOCK_EAS_ICODE, flags, uid);
}

KV_API int KV_STDCALL ISO15693_EAS_ALARM_ICODE(int device_address, unsigned char flags, const unsigned char* uid,
                                               unsigned char* data, unsigned char* data_len) {
    return kv::sendVariable(address16(device_address), cmd::ISO15693_EAS_ALARM_ICODE, labelPayload(flags, uid), data,
                            data_len);
}

KV_API int KV_STDCALL ISO15693_Command(int device_address, unsigned char flags, const unsigned char* uid,
                                       unsigned char data_len, unsigned char* data) {
    // The reply lands in data, so it must exist even for an empty command. A
    // command longer than one frame carries makes the payload invalid and is
    // refused before anything is sent.
    if (data == nullptr) return 1;
    return kv::sendUnsized(address16(device_address), cmd::ISO15693_Command,
                           labelPayload(flags, uid).u8(data_len).bytes(data, data_len), data);
}
