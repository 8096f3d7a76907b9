// Mifare Classic commands of the reader: its key tables, authentication,
// and block and value operations on the selected card. Block reads and
// writes reach Ultralight and NTAG tags too (four pages read, the first
// four bytes written), as applications use them that way.
//
// Key tables, kept in the reader: key sets 'A' and 'B' of 16 keys each
// (0x2A; 0x49 authenticates sector n with key n of a set, as key A for set
// 'A' and key B for set 'B'), and 40 slots of a key A and a key B (0x83,
// 0x2E; 0x84 authenticates sector n with slot n). An unloaded key answers
// kKeySlot. 0x5C takes its payload as a length byte equal to the payload
// length followed by whole 6-byte keys, stored as the first keys of set 'A'.
#include <array>

#include "cards/ultralight.h"
#include "firmware/command_families.h"
#include "firmware/mifare_reader.h"

namespace sim {
namespace {

using KeyBytes = std::array<std::uint8_t, 6>;

struct MifareKeyTables {
    std::array<std::array<std::optional<KeyBytes>, 16>, 2> sets;
    struct Slot {
        std::optional<KeyBytes> a, b;
    };
    std::array<Slot, 40> slots;
};

KeyBytes keyAt(const Bytes& payload, std::size_t offset) {
    KeyBytes key{};
    std::copy(payload.begin() + static_cast<std::ptrdiff_t>(offset),
              payload.begin() + static_cast<std::ptrdiff_t>(offset + 6), key.begin());
    return key;
}

std::optional<int> keySetIndex(std::uint8_t letter) {
    if (letter == 'A') return 0;
    if (letter == 'B') return 1;
    return std::nullopt;
}

Reply authenticateSector(Reader& r, mifare::Key key, int sector, const std::uint8_t* key_bytes) {
    std::uint8_t status = kOk;
    MifareClassic* card = selectedAs<MifareClassic>(r, &status);
    if (card == nullptr) return Reply::error(status);
    if (sector >= card->sectorCount()) return Reply::error(kBlockRange);
    return answer(card->authenticate(MifareClassic::firstBlock(sector), key, key_bytes));
}

// Runs `op` on the selected Classic card.
template <typename Op>
Reply onClassic(Reader& r, Op op) {
    std::uint8_t status = kOk;
    MifareClassic* card = selectedAs<MifareClassic>(r, &status);
    return card ? op(*card) : Reply::error(status);
}

// Runs `op` on the selected Classic card or Ultralight/NTAG tag, both of
// which answer the block read and write.
template <typename Op>
Reply onBlockCard(Reader& r, Op op) {
    std::uint8_t status = kOk;
    if (auto* tag = selectedAs<UltralightCard>(r, &status)) return op(*tag);
    if (status == kNotSelected) return Reply::error(status);
    return onClassic(r, [&](MifareClassic& card) { return op(card); });
}

void registerKeyTables(Firmware& fw) {
    fw.registerHandler(kv::cmd::rf_download_key, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (auto bad = needLength(c, 97)) return bad;
        const auto set = keySetIndex(c.payload[0]);
        if (!set) return Reply::error(kBadParameter);
        auto& keys = r.state<MifareKeyTables>().sets[*set];
        for (std::size_t i = 0; i < keys.size(); ++i) keys[i] = keyAt(c.payload, 1 + 6 * i);
        return Reply::ok();
    });
    fw.registerHandler(kv::cmd::rf_download_key2, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (auto bad = needLength(c, 13)) return bad;
        if (c.payload[0] >= 40) return Reply::error(kKeySlot);
        auto& slot = r.state<MifareKeyTables>().slots[c.payload[0]];
        slot.a = keyAt(c.payload, 1);
        slot.b = keyAt(c.payload, 7);
        return Reply::ok();
    });
    fw.registerHandler(kv::cmd::rf_download_key3, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (c.payload.size() != 8) return std::nullopt;  // 56 bytes: the one-shot sector write
        const auto key = keyTypeOf(c.payload[0]);
        if (!key) return Reply::error(kBadParameter);
        if (c.payload[1] >= 40) return Reply::error(kKeySlot);
        auto& slot = r.state<MifareKeyTables>().slots[c.payload[1]];
        (*key == mifare::Key::A ? slot.a : slot.b) = keyAt(c.payload, 2);
        return Reply::ok();
    });
    fw.registerHandler(kv::cmd::rf_change_key, [](Reader& r, const Command& c) -> std::optional<Reply> {
        const std::size_t n = c.payload.size();
        auto& keys = r.state<MifareKeyTables>().sets[0];
        if (n == 0 || c.payload[0] != n || (n - 1) % 6 != 0 || (n - 1) / 6 > keys.size()) {
            return Reply::error(kBadLength);
        }
        for (std::size_t i = 0; i < (n - 1) / 6; ++i) keys[i] = keyAt(c.payload, 1 + 6 * i);
        return Reply::ok();
    });
}

void registerAuthentication(Firmware& fw) {
    fw.registerHandler(kv::cmd::rf_M1_authentication1, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (auto bad = needLength(c, 2)) return bad;
        const auto set = keySetIndex(c.payload[0]);
        if (!set) return Reply::error(kBadParameter);
        const int sector = c.payload[1];
        if (sector >= 16 || !r.state<MifareKeyTables>().sets[*set][sector]) return Reply::error(kKeySlot);
        const KeyBytes key = *r.state<MifareKeyTables>().sets[*set][sector];
        return authenticateSector(r, *set == 0 ? mifare::Key::A : mifare::Key::B, sector, key.data());
    });
    fw.registerHandler(kv::cmd::rf_M1_authentication2, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (auto bad = needLength(c, 8)) return bad;
        const auto key = keyTypeOf(c.payload[0]);
        if (!key) return Reply::error(kBadParameter);
        return onClassic(r, [&](MifareClassic& card) {
            return answer(card.authenticate(c.payload[1], *key, c.payload.data() + 2));
        });
    });
    fw.registerHandler(kv::cmd::rf_M1_authentication3, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (auto bad = needLength(c, 2)) return bad;
        const auto key = keyTypeOf(c.payload[0]);
        if (!key) return Reply::error(kBadParameter);
        if (c.payload[1] >= 40) return Reply::error(kKeySlot);
        const auto& slot = r.state<MifareKeyTables>().slots[c.payload[1]];
        const auto& stored = *key == mifare::Key::A ? slot.a : slot.b;
        if (!stored) return Reply::error(kKeySlot);
        const KeyBytes bytes = *stored;
        return authenticateSector(r, *key, c.payload[1], bytes.data());
    });
}

void registerBlocks(Firmware& fw) {
    fw.registerHandler(kv::cmd::rf_M1_read, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (auto bad = needLength(c, 1)) return bad;
        Bytes data;
        return onBlockCard(r, [&](auto& card) { return answer(card.read(c.payload[0], &data), data); });
    });
    fw.registerHandler(kv::cmd::rf_M1_write, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (auto bad = needLength(c, 17)) return bad;
        // A tag takes the first four bytes into the page (its compatibility write).
        return onBlockCard(r, [&](auto& card) { return answer(card.write(c.payload[0], &c.payload[1])); });
    });
    fw.registerHandler(kv::cmd::rf_M1_initval, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (auto bad = needLength(c, 5)) return bad;
        return onClassic(r, [&](MifareClassic& card) {
            return answer(card.initValue(c.payload[0], le32(&c.payload[1])));
        });
    });
    fw.registerHandler(kv::cmd::rf_M1_readval, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (auto bad = needLength(c, 1)) return bad;
        return onClassic(r, [&](MifareClassic& card) {
            std::int32_t value = 0;
            return answerValue(card.readValue(c.payload[0], &value), value);
        });
    });
    for (const bool increment : {false, true}) {
        fw.registerHandler(increment ? kv::cmd::rf_M1_increment : kv::cmd::rf_M1_decrement,
               [increment](Reader& r, const Command& c) -> std::optional<Reply> {
                   if (auto bad = needLength(c, 5)) return bad;
                   return onClassic(r, [&](MifareClassic& card) {
                       return answer(changeValue(card, c.payload[0], le32(&c.payload[1]), increment));
                   });
               });
    }
    fw.registerHandler(kv::cmd::rf_M1_restore, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (auto bad = needLength(c, 1)) return bad;
        return onClassic(r, [&](MifareClassic& card) { return answer(card.restore(c.payload[0])); });
    });
    fw.registerHandler(kv::cmd::rf_M1_transfer, [](Reader& r, const Command& c) -> std::optional<Reply> {
        if (auto bad = needLength(c, 1)) return bad;
        return onClassic(r, [&](MifareClassic& card) { return answer(card.transfer(c.payload[0])); });
    });
}

}  // namespace

void registerMifareCommands(Firmware& fw) {
    registerKeyTables(fw);
    registerAuthentication(fw);
    registerBlocks(fw);
}

}  // namespace sim
