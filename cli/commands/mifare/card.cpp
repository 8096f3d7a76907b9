#include "card.h"

#include "KovalinkHID.h"
#include "core/errors.h"
#include "core/options.h"
#include "commands/typea/blocks.h"

namespace kl::mifare {

void KeyChoice::define(CLI::App& app) {
    addHex(app, "-k,--key", key, kKeySize, "the 6-byte key in hex (default FFFFFFFFFFFF)");
    app.add_flag("-b,--key-b", key_b, "authenticate with key B (default key A)");
}

namespace {

constexpr unsigned char kRequestAll = 0x52, kRequestIdle = 0x26;
constexpr int kNoCardStatus = 0x0A;

// The card type from the select answer.
void classify(CardId* id) {
    id->classic = true;
    switch (id->sak) {
    case 0x09: id->type = "Mifare Mini"; id->layout.sectors = 5; break;
    case 0x18: id->type = "Mifare Classic 4K"; id->layout.sectors = 40; break;
    case 0x08:
    case 0x88: id->type = "Mifare Classic 1K"; id->layout.sectors = 16; break;
    default:
        id->type = id->sak & 0x20 ? "ISO14443-4 card (not Mifare Classic)" : "not a Mifare Classic card";
        id->classic = false;
        break;
    }
}

}  // namespace

Card::~Card() {
    if (!halted_others_) return;
    try {
        for (const unsigned char on : {0, 1}) {
            reader().tryCall("rf_antenna_sta", [&] { return rf_antenna_sta(address(), on); });
        }
    } catch (...) {
        // Nothing more can be done for the field; the command's own result stands.
    }
}

bool Card::selectOne(unsigned char mode) {
    Session& r = reader();
    const auto a = address();
    unsigned char atqa[2] = {};
    const int result = r.tryCall("rf_request", [&] { return rf_request(a, mode, atqa); });
    if (result == kNoCardStatus && mode == kRequestIdle) return false;
    if (result != 0) throw libraryError("rf_request", result);
    // Bits 6-7 of the answer to request give the UID size: 4, 7 or 10 bytes.
    const unsigned size_code = (atqa[0] >> 6) & 3;
    const unsigned char uid_size = size_code == 0 ? 4 : size_code == 1 ? 7 : 10;
    unsigned char uid[256] = {};
    unsigned char uid_length = 0;
    r.call("rf_anticoll", [&] { return rf_anticoll(a, uid_size, uid, &uid_length); });
    unsigned char sak = 0;
    r.call("rf_select", [&] { return rf_select(a, uid, uid_length, &sak); });
    id_.atqa.assign(atqa, atqa + 2);
    id_.uid.assign(uid, uid + uid_length);
    id_.sak = sak;
    classify(&id_);
    return true;
}

const CardId& Card::search(bool classic_only) {
    typea::selectFamily(reader());
    std::optional<CardId> first;
    for (unsigned char mode = kRequestAll; selectOne(mode); mode = kRequestIdle) {
        if (id_.classic) return id_;
        if (!first) first = id_;
        // Put it aside: a halted card answers only the wake-up request.
        reader().call("rf_halt", [&] { return rf_halt(address()); });
        halted_others_ = true;
        if (id_.uid == first->uid && mode == kRequestIdle) break;
    }
    if (classic_only) {
        throw Failure(kExitReaderStatus, "no Mifare Classic card answered (found: UID " + toHex(first->uid) + ", SAK " +
                                             toHex(&first->sak, 1) + ")");
    }
    id_ = *first;
    return id_;
}

bool Card::tryAuthenticate(unsigned block, unsigned char key_type, const Bytes& key) {
    const auto b = static_cast<unsigned char>(block);
    const int result = reader().tryCall("rf_M1_authentication2",
                                        [&] { return rf_M1_authentication2(address(), key_type, b, key.data()); });
    if (result == 0) return true;
    if (result == 1) throw libraryError("rf_M1_authentication2", result);
    search();  // a refused key leaves the card idle
    return false;
}

void Card::authenticate(unsigned block, unsigned char key_type, const Bytes& key) {
    const auto b = static_cast<unsigned char>(block);
    reader().call("rf_M1_authentication2", [&] { return rf_M1_authentication2(address(), key_type, b, key.data()); });
}

std::optional<Bytes> Card::tryRead(unsigned block) { return typea::tryRead16(reader(), block, &last_result_); }

std::optional<Bytes> Card::tryRead(unsigned block, int* result) { return typea::tryRead16(reader(), block, result); }

Bytes Card::read(unsigned block) { return typea::read16(reader(), block); }

bool Card::tryWrite(unsigned block, const Bytes& data) {
    const auto b = static_cast<unsigned char>(block);
    last_result_ = reader().tryCall("rf_M1_write", [&] { return rf_M1_write(address(), b, data.data()); });
    if (last_result_ == 1) throw libraryError("rf_M1_write", last_result_);
    return last_result_ == 0;
}

void Card::write(unsigned block, const Bytes& data) {
    if (!tryWrite(block, data)) throw libraryError("rf_M1_write", last_result_);
}

void Card::checkBlock(unsigned block) const {
    if (block >= id_.layout.blocks()) {
        throw usageError("block " + std::to_string(block) + " is outside this " + id_.type + " (blocks 0.." +
                         std::to_string(id_.layout.blocks() - 1) + "); nothing was written");
    }
}

}  // namespace kl::mifare
