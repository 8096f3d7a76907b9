// A Mifare Classic card on the antenna: finding it, its layout, and the
// authenticate / read / write steps the mifare commands share.
#pragma once

#include <optional>
#include <string>

#include "core/command.h"
#include "mifare_layout.h"

namespace kl::mifare {

using common::mifare::kBlockSize;
using common::mifare::kKeyA;
using common::mifare::kKeyB;
using common::mifare::kKeySize;
using common::mifare::kLargestLayout;
using common::mifare::Layout;

struct CardId {
    Bytes atqa;  // as the reader sends it, least significant byte first
    Bytes uid;
    unsigned char sak = 0;
    std::string type;  // "Mifare Classic 1K" ...
    bool classic = false;
    Layout layout;
};

// The key options most mifare commands take: --key and --key-b.
struct KeyChoice {
    Bytes key = Bytes(kKeySize, 0xFF);
    bool key_b = false;
    void define(CLI::App& app);
    unsigned char type() const { return key_b ? kKeyB : kKeyA; }
};

class Card {
public:
    explicit Card(Context& context) : context_(context) {}

    // Selects the card named by --uid, else the first Mifare Classic card
    // in the field (typea::selectTarget: a warning when several answer).
    // Every other card is left idle, ready for the next command. With
    // `classic_only` false another type A card is taken when no Mifare
    // Classic card answers; otherwise that is a failure. Once found, the
    // same card is selected again by its UID.
    const CardId& search(bool classic_only = true);
    const CardId& id() const { return id_; }

    // Authenticates the sector of `block`; throws on failure.
    void authenticate(unsigned block, unsigned char key_type, const Bytes& key);
    // As authenticate(), but false on a refused key; the card is searched again then.
    bool tryAuthenticate(unsigned block, unsigned char key_type, const Bytes& key);

    Bytes read(unsigned block);
    // As read(), but empty when the reader refuses the block (access bits).
    std::optional<Bytes> tryRead(unsigned block);
    // As tryRead(), leaving the reader's status in *result.
    std::optional<Bytes> tryRead(unsigned block, int* result);
    void write(unsigned block, const Bytes& data);
    // As write(), but false when the reader refuses the block (access bits).
    bool tryWrite(unsigned block, const Bytes& data);

    // Refuses block numbers outside the card (exit code 2).
    void checkBlock(unsigned block) const;

    Session& reader() { return context_.reader; }
    std::uint16_t address() const { return context_.reader.address(); }

private:
    Context& context_;
    CardId id_;
    int last_result_ = 0;
};

}  // namespace kl::mifare
