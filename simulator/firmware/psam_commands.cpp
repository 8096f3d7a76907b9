// The reader's composite PSAM commands (0xB0-0xBA). The first payload byte
// is always the SAM number (0-5); the SAM must have been reset. The reply
// is the SAM's answer to the last APDU sent. Further parameters:
//   B0 key id, DF (0: current, n: select DF n first), key_len, key
//   B1 -                      B2 key id, try limit, key (WRITE KEY install)
//   B3 key id, length, data (WRITE KEY change)    B4 DF id low byte (DF xx)
//   B5 key id, mode (P1 of INTERNAL AUTHENTICATE), length, data
//   B6/B7 key id, card random, serial, aux, amount, type, terminal,
//         date/time, div length, div data (PURSE MAC, aux of 4 / 2 bytes)
//   B8 key id, diversification blocks, length, div data then data
//   B9 file id (2), offset, length        BA file id (2), offset, length, data
#include "firmware/command_families.h"
#include "firmware/composite.h"

namespace sim {
namespace {

// Fixed MAC fields besides aux: random 4, serial 2, amount 4, type 1,
// terminal 6, date/time 7.
constexpr std::size_t kMacFields = 24;

using SamOp = std::function<Reply(const Bytes&, Script&)>;

void samOp(Firmware& fw, const kv::ReaderCommand& command, Length length, SamOp op) {
    fw.registerHandler(command, [length, op](Reader& r, const Command& c) -> std::optional<Reply> {
        if (!length.fits(c.payload)) return Reply::error(kBadLength);
        if (c.payload[0] >= kContactSlotNumber) return Reply::error(kBadParameter);
        ContactModule* module = moduleFor(r, c.payload[0]);
        if (module == nullptr) return Reply::error(kSlotEmpty);
        if (!module->active()) return Reply::error(kNotActivated);
        Script script = moduleScript(*module);
        return op(c.payload, script);
    });
}

// PURSE MAC with `aux` bytes of aux data; div length at 2 + kMacFields + aux.
Reply purseMac(const Bytes& p, Script& sam, std::size_t aux) {
    const std::size_t div_at = 2 + kMacFields + aux;
    if (!counted(p, div_at)) return Reply::error(kBadLength);
    const Bytes input = concat({slice(p, 2, kMacFields + aux), slice(p, div_at + 1, p[div_at])});
    sam.send(apdu(0x80, 0x70, static_cast<std::uint8_t>(aux), p[1], input, 0x04));
    return sam.reply();
}

}  // namespace

void registerPsamCommands(Firmware& fw) {
    samOp(fw, kv::cmd::rf_PSAM_Ext_Auth, {12, 20}, [](const Bytes& p, Script& sam) {
        if ((p[3] != 8 && p[3] != 16) || !counted(p, 3)) return Reply::error(kBadParameter);
        if (p[2] != 0 && !sam.select(0xDF, p[2])) return sam.reply();
        const Bytes key = slice(p, 4, p[3]);
        sam.externalAuthenticate(p[1], [&](const Bytes& challenge) -> std::optional<Bytes> {
            return encryptBlock(key, challenge);
        });
        return sam.reply();
    });
    samOp(fw, kv::cmd::rf_PSAM_Erase_DF, {1, 1}, [](const Bytes&, Script& sam) {
        sam.send(apdu(0x80, 0x0E, 0x00, 0x00, {}, 0x00));
        return sam.reply();
    });
    samOp(fw, kv::cmd::rf_PSAM_Init_For_Similar_M1, {3, 20}, [](const Bytes& p, Script& sam) {
        sam.send(apdu(0x80, 0xD4, 0x00, p[1], slice(p, 2, p.size() - 2)));
        return sam.reply();
    });
    samOp(fw, kv::cmd::rf_PSAM_ChangeKey_For_Similar_M1, {3, 20}, [](const Bytes& p, Script& sam) {
        if (!counted(p, 2)) return Reply::error(kBadLength);
        sam.send(apdu(0x80, 0xD4, 0x01, p[1], slice(p, 3, p[2])));
        return sam.reply();
    });
    samOp(fw, kv::cmd::rf_PSAM_SeLectDF_For_Similar_M1, {2, 2}, [](const Bytes& p, Script& sam) {
        sam.select(0xDF, p[1]);
        return sam.reply();
    });
    samOp(fw, kv::cmd::rf_PSAM_InternalAuth, {4, 20}, [](const Bytes& p, Script& sam) {
        if (!counted(p, 3)) return Reply::error(kBadLength);
        sam.send(apdu(0x00, 0x88, p[2], p[1], slice(p, 4, p[3])));
        return sam.reply();
    });
    samOp(fw, kv::cmd::rf_PSAMCalIncMac, {31, 55}, [](const Bytes& p, Script& sam) { return purseMac(p, sam, 4); });
    samOp(fw, kv::cmd::rf_PSAMCalDecMac, {29, 53}, [](const Bytes& p, Script& sam) { return purseMac(p, sam, 2); });
    samOp(fw, kv::cmd::rf_PSAMKeyScatter, {4, 80}, [](const Bytes& p, Script& sam) {
        const std::size_t div = static_cast<std::size_t>(p[2]) * 8;
        if (!counted(p, 3)) return Reply::error(kBadLength);
        if (div > p[3]) return Reply::error(kBadParameter);
        if (!sam.send(apdu(0x80, 0x1A, 0x00, p[1], slice(p, 4, div))) || div == p[3]) return sam.reply();
        sam.send(apdu(0x80, 0xFA, 0x00, 0x00, slice(p, 4 + div, p[3] - div)));
        return sam.reply();
    });
    samOp(fw, kv::cmd::rf_PSAM_Read_Bin_File, {5, 5}, [](const Bytes& p, Script& sam) {
        if (sam.select(p[1], p[2])) sam.send(apdu(0x00, 0xB0, 0x00, p[3], {}, p[4]));
        return sam.reply();
    });
    samOp(fw, kv::cmd::rf_PSAM_Write_Bin_File, {6, 252}, [](const Bytes& p, Script& sam) {
        if (!counted(p, 4)) return Reply::error(kBadLength);
        if (sam.select(p[1], p[2])) sam.send(apdu(0x00, 0xD6, 0x00, p[3], slice(p, 5, p[4])));
        return sam.reply();
    });
}

}  // namespace sim
