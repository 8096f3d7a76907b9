// A Mifare Classic card on the antenna: finding it, its layout, and the
// authenticate / read / write steps the mifare commands share.
#pragma once

#include <optional>
#include <string>

#include "core/command.h"

namespace kl::mifare {

constexpr std::size_t kBlockSize = 16;
constexpr std::size_t kKeySize = 6;
constexpr unsigned char kKeyA = 0x60, kKeyB = 0x61;

// Sectors and blocks of a 1K (16 x 4), 4K (32 x 4 + 8 x 16) or Mini (5 x 4) card.
struct Layout {
    unsigned sectors = 16;
    constexpr unsigned blocks() const { return sectors <= 32 ? sectors * 4 : 128 + (sectors - 32) * 16; }
    constexpr unsigned firstBlock(unsigned sector) const { return sector < 32 ? sector * 4 : 128 + (sector - 32) * 16; }
    constexpr unsigned blockCount(unsigned sector) const { return sector < 32 ? 4 : 16; }
    constexpr unsigned trailer(unsigned sector) const { return firstBlock(sector) + blockCount(sector) - 1; }
    constexpr unsigned sectorOf(unsigned block) const { return block < 128 ? block / 4 : 32 + (block - 128) / 16; }
    constexpr bool isTrailer(unsigned block) const { return trailer(sectorOf(block)) == block; }
};

// The 4K layout; smaller cards are its first sectors.
constexpr Layout kLargestLayout{40};

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

    // Wakes (idle and halted cards), anticollides and selects a Mifare
    // Classic card; other type A cards in the field are halted and passed
    // over. With `classic_only` false the first card found is taken when
    // no Mifare Classic card answers; otherwise that is a failure.
    const CardId& search(bool classic_only = true);
    const CardId& id() const { return id_; }

    // Authenticates the sector of `block`; throws on failure.
    void authenticate(unsigned block, unsigned char key_type, const Bytes& key);
    // As authenticate(), but false on a refused key; the card is searched again then.
    bool tryAuthenticate(unsigned block, unsigned char key_type, const Bytes& key);

    Bytes read(unsigned block);
    // As read(), but empty when the reader refuses the block (access bits).
    std::optional<Bytes> tryRead(unsigned block);
    void write(unsigned block, const Bytes& data);
    // As write(), but false when the reader refuses the block (access bits).
    bool tryWrite(unsigned block, const Bytes& data);

    // Refuses block numbers outside the card (exit code 2).
    void checkBlock(unsigned block) const;

    Session& reader() { return context_.reader; }
    std::uint16_t address() const { return context_.reader.address(); }

private:
    // One request / anticollision / select round; false when no card answered `mode`.
    bool selectOne(unsigned char mode);

    Context& context_;
    CardId id_;
    int last_result_ = 0;
};

}  // namespace kl::mifare
