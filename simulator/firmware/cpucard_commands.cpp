// The reader's composite commands on the activated contactless CPU card
// (0xD0-0xE6): each is a short script of APDUs; the reply is the answer to
// the last APDU sent (data and status word), so the caller sees where a
// script stopped. Parameter meanings are documented with the library
// functions; in short:
//   D0 key id, diversify (1: key scattered over the UID), key_len, key
//   D1 card key id, SAM number, SAM key id, diversify in the SAM (1)
//   D3 key id, try limit, key          D4 key id, length, data (WRITE KEY)
//   D5 DF id low byte (DF xx)          DE block 0-15 of file 0001 (16 bytes)
//   D6/D7/D8 PIN reference first       D9/DA key id, type, amount, terminal,
//   date/time [aux], key_len, key      DB/DC key id, type, SAM number, ...
//   DD P2 of GET BALANCE               DF type, serial
//   E1/E2 file id (2), offset, length / data   E3 challenge length
//   E4/E5/E6 the Wiegand record (file 000A in the MF): format, length, data.
#include "firmware/composite.h"

#include "des.h"
#include "firmware/command_families.h"

namespace sim {
namespace {

constexpr std::size_t kAmount = 4, kTerminal = 6, kDateTime = 7, kAux = 4;
constexpr std::uint8_t kWiegandFile = 0x0A;
constexpr std::size_t kWiegandHeader = 2;

using CardOp = std::function<Reply(Reader&, const Bytes&, Script&, ApduCard&)>;

void cardOp(Firmware& fw, const kv::ReaderCommand& command, Length length, CardOp op) {
    fw.registerHandler(command, [length, op](Reader& r, const Command& c) -> std::optional<Reply> {
        if (!length.fits(c.payload)) return Reply::error(kBadLength);
        ApduCard* card = activeProcessorCard(r);
        if (card == nullptr) return Reply::error(kNotActivated);
        Script script = cardScript(*card);
        return op(r, c.payload, script, *card);
    });
}

// The active module of SAM number `number`, or the reason there is none.
ContactModule* activeModule(Reader& r, unsigned number, Reply* error) {
    ContactModule* module = moduleFor(r, number);
    if (module == nullptr) *error = Reply::error(kSlotEmpty);
    else if (!module->active()) *error = Reply::error(kNotActivated);
    else return module;
    return nullptr;
}

struct PurseRequest {
    bool debit;
    std::uint8_t key_id, type;
    Bytes amount, terminal, date_time, aux;
};

using MacSource = std::function<std::optional<Bytes>(const Bytes& random, const Bytes& serial, Reply* failure)>;

// INITIALIZE, the MAC from `mac`, COMMIT.
Reply purse(Script& card, const PurseRequest& q, const MacSource& mac) {
    const Bytes init = concat({Bytes{q.type}, q.amount, q.terminal});
    if (!card.send(apdu(0x80, 0x50, q.debit ? 0x01 : 0x00, q.key_id, init, 0x0A))) return card.reply();
    const Bytes answer = card.data();
    if (answer.size() != 10) return Reply::error(kProtocol);
    Reply failure;
    const std::optional<Bytes> code = mac(slice(answer, 6, 4), slice(answer, 4, 2), &failure);
    if (!code) return failure;
    card.send(apdu(0x80, 0x52, 0x00, 0x00, concat({q.date_time, q.aux, *code})));
    return card.reply();
}

PurseRequest purseFields(const Bytes& p, std::size_t at, bool debit, bool with_aux) {
    PurseRequest q{debit, p[0], p[1], slice(p, at, kAmount), slice(p, at + kAmount, kTerminal),
                   slice(p, at + kAmount + kTerminal, kDateTime), {}};
    if (with_aux) q.aux = slice(p, at + kAmount + kTerminal + kDateTime, kAux);
    return q;
}

void registerAuthentication(Firmware& fw) {
    cardOp(fw, kv::cmd::rf_CPUCard_Ext_Auth, {11, 19},
           [](Reader&, const Bytes& p, Script& card, ApduCard& which) {
               if ((p[2] != 8 && p[2] != 16) || !counted(p, 2)) return Reply::error(kBadParameter);
               Bytes key = slice(p, 3, p[2]);
               if (p[1] == 1) key = scatterKey(key, which.serial());
               card.externalAuthenticate(p[0], [&](const Bytes& challenge) -> std::optional<Bytes> {
                   return encryptBlock(key, challenge);
               });
               return card.reply();
           });
    cardOp(fw, kv::cmd::rf_CPUCard_Ext_Auth_By_SAM, {4, 4},
           [](Reader& r, const Bytes& p, Script& card, ApduCard& which) {
               Reply failure;
               ContactModule* module = activeModule(r, p[1], &failure);
               if (module == nullptr) return failure;
               Script sam = moduleScript(*module);
               Bytes uid = which.serial();
               uid.resize(8, 0x00);
               const bool ok = card.externalAuthenticate(p[0], [&](const Bytes& challenge) -> std::optional<Bytes> {
                   const Bytes command = p[3] == 1 ? apdu(0x00, 0x88, 0x01, p[2], concat({uid, challenge}))
                                                   : apdu(0x00, 0x88, 0x00, p[2], challenge);
                   if (!sam.send(command)) return std::nullopt;
                   return sam.data();
               });
               // A SAM refusal is the answer to show.
               if (!ok && sw(sam.last()) != 0x9000 && !sam.last().empty()) return sam.reply();
               return card.reply();
           });
    cardOp(fw, kv::cmd::rf_CPUCard_Get_Rnd, {1, 1}, [](Reader&, const Bytes& p, Script& card, ApduCard&) {
        card.send(apdu(0x00, 0x84, 0x00, 0x00, {}, p[0]));
        return card.reply();
    });
    cardOp(fw, kv::cmd::rf_CPUCard_Erase_DF, {0, 0}, [](Reader&, const Bytes&, Script& card, ApduCard&) {
        card.send(apdu(0x80, 0x0E, 0x00, 0x00, {}, 0x00));
        return card.reply();
    });
}

void registerFilesAndPin(Firmware& fw) {
    cardOp(fw, kv::cmd::rf_CPUCard_Read_Bin_File, {4, 4}, [](Reader&, const Bytes& p, Script& card, ApduCard&) {
        if (card.select(p[0], p[1])) card.send(apdu(0x00, 0xB0, 0x00, p[2], {}, p[3]));
        return card.reply();
    });
    cardOp(fw, kv::cmd::rf_CPUCard_Write_Bin_File, {5, 252}, [](Reader&, const Bytes& p, Script& card, ApduCard&) {
        if (!counted(p, 3)) return Reply::error(kBadLength);
        if (card.select(p[0], p[1])) card.send(apdu(0x00, 0xD6, 0x00, p[2], slice(p, 4, p[3])));
        return card.reply();
    });
    cardOp(fw, kv::cmd::rf_CPUCard_Verify_Pin, {2, 10}, [](Reader&, const Bytes& p, Script& card, ApduCard&) {
        if (!counted(p, 1)) return Reply::error(kBadLength);
        card.send(apdu(0x00, 0x20, 0x00, p[0], slice(p, 2, p[1])));
        return card.reply();
    });
    cardOp(fw, kv::cmd::rf_CPUCard_Change_Pin, {3, 19}, [](Reader&, const Bytes& p, Script& card, ApduCard&) {
        const std::size_t old_len = p[1];
        if (p.size() < 3 + old_len || !counted(p, 2 + old_len)) return Reply::error(kBadLength);
        const Bytes old_pin = slice(p, 2, old_len), new_pin = slice(p, 3 + old_len, p[2 + old_len]);
        card.send(apdu(0x80, 0x5E, 0x01, p[0], concat({old_pin, Bytes{0xFF}, new_pin})));
        return card.reply();
    });
    cardOp(fw, kv::cmd::rf_CPUCard_PinReload, {18, 26}, [](Reader&, const Bytes& p, Script& card, ApduCard&) {
        if (!counted(p, 17)) return Reply::error(kBadLength);
        const Bytes key = slice(p, 1, 16), pin = slice(p, 18, p[17]);
        Bytes mac(4);
        kv::des::mac(mac.data(), pin.data(), pin.size(), key.data(), key.size(), nullptr);
        card.send(apdu(0x80, 0x5E, 0x00, p[0], concat({pin, mac})));
        return card.reply();
    });
}

// Credit or debit with the MAC computed by the reader under the key that
// came along (key_len at `key_at`).
Reply hostKeyPurse(const Bytes& p, Script& card, bool debit) {
    const std::size_t key_at = debit ? 23 : 19;
    if (!counted(p, key_at)) return Reply::error(kBadLength);
    const PurseRequest q = purseFields(p, 2, debit, debit);
    const Bytes key = slice(p, key_at + 1, p[key_at]);
    return purse(card, q, [&](const Bytes& random, const Bytes& serial, Reply*) -> std::optional<Bytes> {
        return purseMacOf(key, random, serial, q.aux, q.amount, q.type, q.terminal, q.date_time);
    });
}

// Credit or debit with the MAC computed by the SAM of number p[2].
Reply samPurse(Reader& r, const Bytes& p, Script& card, bool debit) {
    Reply failure;
    ContactModule* module = activeModule(r, p[2], &failure);
    if (module == nullptr) return failure;
    Script sam = moduleScript(*module);
    const PurseRequest q = purseFields(p, 3, debit, debit);
    return purse(card, q, [&](const Bytes& random, const Bytes& serial, Reply* sam_failure) -> std::optional<Bytes> {
        const Bytes input = concat({random, serial, q.aux, q.amount, Bytes{q.type}, q.terminal, q.date_time});
        if (sam.send(apdu(0x80, 0x70, static_cast<std::uint8_t>(q.aux.size()), q.key_id, input, 0x04))) {
            return sam.data();
        }
        *sam_failure = sam.reply();
        return std::nullopt;
    });
}

void registerPurse(Firmware& fw) {
    cardOp(fw, kv::cmd::rf_CPUCard_increment, {20, 36}, [](Reader&, const Bytes& p, Script& card, ApduCard&) {
        return hostKeyPurse(p, card, false);
    });
    cardOp(fw, kv::cmd::rf_CPUCard_decrement, {24, 40}, [](Reader&, const Bytes& p, Script& card, ApduCard&) {
        return hostKeyPurse(p, card, true);
    });
    cardOp(fw, kv::cmd::rf_CPUCard_increment_AuthBySam, {20, 20},
           [](Reader& r, const Bytes& p, Script& card, ApduCard&) { return samPurse(r, p, card, false); });
    cardOp(fw, kv::cmd::rf_CPUCard_decrement_AuthBySam, {24, 24},
           [](Reader& r, const Bytes& p, Script& card, ApduCard&) { return samPurse(r, p, card, true); });
    cardOp(fw, kv::cmd::rf_CPUCard_ReadVal, {1, 1}, [](Reader&, const Bytes& p, Script& card, ApduCard&) {
        card.send(apdu(0x80, 0x5C, 0x00, p[0], {}, 0x04));
        return card.reply();
    });
    cardOp(fw, kv::cmd::rf_CPUCard_Get_TAProve, {3, 3}, [](Reader&, const Bytes& p, Script& card, ApduCard&) {
        card.send(apdu(0x80, 0x5A, 0x00, p[0], slice(p, 1, 2), 0x08));
        return card.reply();
    });
}

// The Wiegand record: format, data length, data, in file 000A of the MF.
bool selectWiegand(Script& card) { return card.select(0x3F, 0x00) && card.select(0x00, kWiegandFile); }

void registerSectorsAndWiegand(Firmware& fw) {
    cardOp(fw, kv::cmd::rf_CPUCard_Init_Similar_M1, {2, 10}, [](Reader&, const Bytes& p, Script& card, ApduCard&) {
        card.send(apdu(0x80, 0xD4, 0x00, p[0], slice(p, 1, p.size() - 1)));
        return card.reply();
    });
    cardOp(fw, kv::cmd::rf_CPUCard_ChangeKey_Similar_M1, {2, 20}, [](Reader&, const Bytes& p, Script& card, ApduCard&) {
        if (!counted(p, 1)) return Reply::error(kBadLength);
        card.send(apdu(0x80, 0xD4, 0x01, p[0], slice(p, 2, p[1])));
        return card.reply();
    });
    cardOp(fw, kv::cmd::rf_CPUCard_SeLectDF_Similar_M1, {1, 1}, [](Reader&, const Bytes& p, Script& card, ApduCard&) {
        card.select(0xDF, p[0]);
        return card.reply();
    });
    cardOp(fw, kv::cmd::rf_CPUCard_Read_Record_Similar_M1, {1, 1},
           [](Reader&, const Bytes& p, Script& card, ApduCard&) {
               if (p[0] > 15) return Reply::error(kBadParameter);
               card.send(apdu(0x00, 0xB0, 0x81, static_cast<std::uint8_t>(p[0] * 16), {}, 16));
               return card.reply();
           });
    cardOp(fw, kv::cmd::rf_CPU_Init_For_Wiegand_Reader, {2, 50}, [](Reader&, const Bytes& p, Script& card, ApduCard&) {
        if (!counted(p, 1)) return Reply::error(kBadLength);
        if (selectWiegand(card)) card.send(apdu(0x00, 0xD6, 0x00, 0x00, p));
        return card.reply();
    });
    cardOp(fw, kv::cmd::rf_CPU_UpdataData_For_Wiegand_Reader, {2, 50},
           [](Reader&, const Bytes& p, Script& card, ApduCard&) {
               if (!counted(p, 1)) return Reply::error(kBadLength);
               const auto offset = static_cast<std::uint8_t>(kWiegandHeader + p[0]);
               if (selectWiegand(card)) card.send(apdu(0x00, 0xD6, 0x00, offset, slice(p, 2, p[1])));
               return card.reply();
           });
    cardOp(fw, kv::cmd::rf_CPU_ReadData_From_Wiegand_Tag, {0, 0}, [](Reader&, const Bytes&, Script& card, ApduCard&) {
        if (!selectWiegand(card) || !card.send(apdu(0x00, 0xB0, 0x00, 0x00, {}, kWiegandHeader))) {
            return card.reply();
        }
        const Bytes header = card.data();
        if (header[1] == 0) return answerReply(withSw(header, 0x9000));
        if (!card.send(apdu(0x00, 0xB0, 0x00, kWiegandHeader, {}, header[1]))) return card.reply();
        return answerReply(withSw(concat({header, card.data()}), 0x9000));
    });
}

}  // namespace

void registerCpuCardCommands(Firmware& fw) {
    registerAuthentication(fw);
    registerFilesAndPin(fw);
    registerPurse(fw);
    registerSectorsAndWiegand(fw);
}

}  // namespace sim
