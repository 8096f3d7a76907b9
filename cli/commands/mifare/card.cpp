#include "card.h"

#include "KovalinkHID.h"
#include "core/errors.h"
#include "core/options.h"
#include "commands/typea/blocks.h"
#include "commands/typea/field.h"

namespace kl::mifare {

void KeyChoice::define(CLI::App& app) {
    addHex(app, "-k,--key", key, kKeySize, "the 6-byte key in hex (default FFFFFFFFFFFF)");
    app.add_flag("-b,--key-b", key_b, "authenticate with key B (default key A)");
}

namespace {

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

const CardId& Card::search(bool classic_only) {
    // Found once: later searches (after a refused key or block, which leave
    // the card idle) select the same card again by its UID.
    if (!id_.uid.empty()) {
        if (!typea::selectByUid(reader(), id_.uid, &id_.sak)) {
            throw Failure(kExitReaderStatus, "the card " + toHex(id_.uid) + " no longer answers");
        }
        return id_;
    }
    const typea::FieldCard card = typea::selectTarget(context_, [](const typea::FieldCard& c) {
        CardId id;
        id.sak = c.sak;
        classify(&id);
        return id.classic;
    });
    id_.atqa = card.atqa;
    id_.uid = card.uid;
    id_.sak = card.sak;
    classify(&id_);
    if (classic_only && !id_.classic) {
        throw Failure(kExitReaderStatus, "not a Mifare Classic card: UID " + toHex(id_.uid) + ", SAK " +
                                             toHex(&id_.sak, 1) + " (" + typea::sortOf(id_.sak) + ")");
    }
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
