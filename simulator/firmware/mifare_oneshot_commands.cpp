// The one-shot commands: each carries key type, block (or sector) and key,
// and the reader authenticates and operates in one exchange. The reader
// uses the selected card or, when none is selected, wakes one with an idle
// request and selects it first. The key type may be given as 0x60/0x61,
// 'A'/'B' or 0/1. A failed authentication leaves the card idle, as with
// the separate commands; so do all the access rules.
//
// The sector read answers the sector's data blocks (48 bytes, or 240 for a
// 16-block sector, which would not fit a reply with its trailer); the
// sector write writes the sector's first three blocks in order, stopping
// at the first refused one. In sector 0 the manufacturer block is left out
// of the write when the data repeat it unchanged.
#include <cstring>

#include "firmware/command_families.h"
#include "firmware/mifare_reader.h"

namespace sim {
namespace {

std::optional<mifare::Key> oneShotKey(std::uint8_t code) {
    if (code == 'A' || code == 0) return mifare::Key::A;
    if (code == 'B' || code == 1) return mifare::Key::B;
    return keyTypeOf(code);
}

// The card, authenticated for `block` (or for the sector when `sector` is set).
MifareClassic* authenticated(Reader& r, std::uint8_t key_code, int block_or_sector, bool sector,
                             const std::uint8_t* key_bytes, std::uint8_t* status) {
    const auto key = oneShotKey(key_code);
    if (!key) {
        *status = kBadParameter;
        return nullptr;
    }
    TypeACard* found = selectedOrSearch(r, status);
    if (found == nullptr) return nullptr;
    auto* card = dynamic_cast<MifareClassic*>(found);
    if (card == nullptr) {
        *status = kWrongCardType;
        return nullptr;
    }
    if (sector && block_or_sector >= card->sectorCount()) {
        *status = kBlockRange;
        return nullptr;
    }
    const int block = sector ? MifareClassic::firstBlock(block_or_sector) : block_or_sector;
    *status = card->authenticate(block, *key, key_bytes);
    return *status == kOk ? card : nullptr;
}

// Checks the length, authenticates with the payload's prefix (key type,
// block or sector, key at `key_at`) and runs `op`.
template <typename Op>
std::optional<Reply> oneShot(Reader& r, const Command& c, std::size_t length, bool sector, Op op,
                             std::size_t key_at = 2) {
    if (auto bad = needLength(c, length)) return bad;
    std::uint8_t status = kOk;
    MifareClassic* card = authenticated(r, c.payload[0], c.payload[1], sector, &c.payload[key_at], &status);
    return card ? op(*card) : Reply::error(status);
}

std::optional<Reply> readSector(MifareClassic& card, int sector) {
    Bytes data, block;
    const int first = MifareClassic::firstBlock(sector);
    for (int b = first; b < MifareClassic::trailerOf(sector); ++b) {
        if (const std::uint8_t status = card.read(b, &block)) return Reply::error(status);
        data.insert(data.end(), block.begin(), block.end());
    }
    return Reply::ok(std::move(data));
}

std::optional<Reply> writeSector(MifareClassic& card, int sector, const std::uint8_t* data) {
    const int first = MifareClassic::firstBlock(sector);
    for (int i = 0; i < 3; ++i) {
        const std::uint8_t* block = data + 16 * i;
        const int number = first + i;
        if (number == 0 && std::memcmp(card.image().data(), block, 16) == 0) continue;
        if (const std::uint8_t status = card.write(number, block)) return Reply::error(status);
    }
    return Reply::ok();
}

}  // namespace

void registerMifareOneShotCommands(Firmware& fw) {
    fw.registerHandler(kv::cmd::rf_M1_read_same_K62TX, [](Reader& r, const Command& c) {
        return oneShot(r, c, 8, false, [&](MifareClassic& card) {
            Bytes data;
            return answer(card.read(c.payload[1], &data), data);
        });
    });
    fw.registerHandler(kv::cmd::rf_M1_read_sector_same_K62TX, [](Reader& r, const Command& c) {
        return oneShot(r, c, 8, true, [&](MifareClassic& card) { return readSector(card, c.payload[1]); });
    });
    fw.registerHandler(kv::cmd::rf_M1_write_same_K62TX, [](Reader& r, const Command& c) {
        return oneShot(r, c, 24, false,
                       [&](MifareClassic& card) { return answer(card.write(c.payload[1], &c.payload[8])); });
    });
    fw.registerHandler(kv::cmd::rf_M1_write_sector_same_K62TX, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (c.payload.size() != 56) return std::nullopt;  // 8 bytes: loading one key
        return oneShot(r, c, 56, true,
                       [&](MifareClassic& card) { return writeSector(card, c.payload[1], &c.payload[8]); });
    });
    fw.registerHandler(kv::cmd::rf_M1_Init_Purse_same_K62TX, [](Reader& r, const Command& c) {
        return oneShot(r, c, 12, false, [&](MifareClassic& card) {
            return answer(card.initValue(c.payload[1], le32(&c.payload[8])));
        });
    });
    fw.registerHandler(kv::cmd::rf_M1_Read_Purse_same_K62TX, [](Reader& r, const Command& c) {
        return oneShot(r, c, 8, false, [&](MifareClassic& card) {
            std::int32_t value = 0;
            return answerValue(card.readValue(c.payload[1], &value), value);
        });
    });
    for (const bool increment : {true, false}) {
        fw.registerHandler(increment ? kv::cmd::rf_M1_Inc_Purse_same_K62TX : kv::cmd::rf_M1_Dec_Purse_same_K62TX,
               [increment](Reader& r, const Command& c) {
                   return oneShot(r, c, 12, false, [&](MifareClassic& card) {
                       return answer(changeValue(card, c.payload[1], le32(&c.payload[8]), increment));
                   });
               });
    }
    fw.registerHandler(kv::cmd::rf_M1_Backup_Purse_same_K62TX, [](Reader& r, const Command& c) {
        return oneShot(
            r, c, 9, false,
            [&](MifareClassic& card) { return answer(copyValue(card, c.payload[1], c.payload[2])); }, 3);
    });
}

}  // namespace sim
