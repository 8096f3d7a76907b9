// The remaining type A commands of the reader, with the behaviour this
// simulated reader gives them:
//  - 0x1F with 17 bytes (block, data): initialises a card in delivery
//    state: the block's sector is authenticated with the factory key A
//    (FF FF FF FF FF FF) and the block written, both under the card's usual
//    rules (a card whose key was changed fails authentication and goes
//    idle). The selected card is used, or one is woken and selected.
//  - 0x56/0x57 and 0x58/0x59: two record areas kept in the reader (clock
//    records and value-sum records), 16 records of 16 bytes each, address
//    0-15; a read answers the 16 bytes, a write stores them. They start
//    zeroed and survive card changes, not a restart of the simulator.
//  - 0x64/0x65 with a 16-bit page, offset and length: the selected card's
//    memory seen as consecutive 256-byte pages (byte address page·256 +
//    offset), read and written through the card's own rules: a Mifare
//    Classic card block by block (only its authenticated sector, trailers
//    masked as on a block read, writes in whole 16-byte blocks), an
//    Ultralight or NTAG tag page by page (writes in whole 4-byte pages).
//    A range past the end of the card's memory answers kBlockRange, a
//    write not aligned to the card's unit kBadParameter.
#include <array>
#include <functional>

#include "cards/ultralight.h"
#include "firmware/command_families.h"
#include "firmware/mifare_reader.h"

namespace sim {
namespace {

struct ReaderRecords {
    std::array<std::array<std::uint8_t, 16>, 16> clock{};
    std::array<std::array<std::uint8_t, 16>, 16> sums{};
};
using RecordArea = std::array<std::array<std::uint8_t, 16>, 16> ReaderRecords::*;

void registerRecords(Firmware& fw, const kv::ReaderCommand& read, const kv::ReaderCommand& write, RecordArea area) {
    fw.registerHandler(read, [area](Reader& r, const Command& c) -> std::optional<Reply> {
        if (auto bad = needLength(c, 1)) return bad;
        if (c.payload[0] >= 16) return Reply::error(kBlockRange);
        const auto& record = (r.state<ReaderRecords>().*area)[c.payload[0]];
        return Reply::ok(Bytes(record.begin(), record.end()));
    });
    fw.registerHandler(write, [area](Reader& r, const Command& c) -> std::optional<Reply> {
        if (auto bad = needLength(c, 17)) return bad;
        if (c.payload[0] >= 16) return Reply::error(kBlockRange);
        auto& record = (r.state<ReaderRecords>().*area)[c.payload[0]];
        std::copy(c.payload.begin() + 1, c.payload.end(), record.begin());
        return Reply::ok();
    });
}

// The card's memory in its own units: 16-byte blocks or 4-byte pages.
struct CardMemory {
    std::size_t unit = 0;
    std::size_t units = 0;
    std::function<std::uint8_t(int, Bytes*)> read;
    std::function<std::uint8_t(int, const std::uint8_t*)> write;
};

std::optional<CardMemory> memoryOf(TypeACard* card) {
    if (auto* classic = dynamic_cast<MifareClassic*>(card)) {
        return CardMemory{16, static_cast<std::size_t>(classic->blockCount()),
                          [classic](int b, Bytes* out) { return classic->read(b, out); },
                          [classic](int b, const std::uint8_t* d) { return classic->write(b, d); }};
    }
    if (auto* tag = dynamic_cast<UltralightCard*>(card)) {
        return CardMemory{4, static_cast<std::size_t>(tag->pageCount()),
                          [tag](int p, Bytes* out) {
                              const std::uint8_t status = tag->read(p, out);
                              out->resize(4);
                              return status;
                          },
                          [tag](int p, const std::uint8_t* d) { return tag->write(p, d); }};
    }
    return std::nullopt;
}

// Page, offset and length of a flash-card request, as a byte range.
std::size_t startOf(const Command& c) { return (c.payload[0] << 8 | c.payload[1]) * 256u + c.payload[2]; }

std::optional<Reply> flashCardRead(Reader& r, const Command& c) {
    if (r.card_family != kFamilyTypeA || c.payload.size() != 4) return std::nullopt;  // SR176 protect: 1 byte
    const auto memory = memoryOf(activeCard(typeACards(r)));
    if (!memory) return Reply::error(activeCard(typeACards(r)) ? kWrongCardType : kNotSelected);
    const std::size_t start = startOf(c), length = c.payload[3];
    if (start + length > memory->unit * memory->units) return Reply::error(kBlockRange);
    Bytes data, unit;
    for (std::size_t u = start / memory->unit; length > 0 && u <= (start + length - 1) / memory->unit; ++u) {
        if (const std::uint8_t status = memory->read(static_cast<int>(u), &unit)) return Reply::error(status);
        data.insert(data.end(), unit.begin(), unit.end());
    }
    const std::size_t skip = start % memory->unit;
    return Reply::ok(Bytes(data.begin() + static_cast<std::ptrdiff_t>(length ? skip : 0),
                           data.begin() + static_cast<std::ptrdiff_t>(length ? skip + length : 0)));
}

std::optional<Reply> flashCardWrite(Reader& r, const Command& c) {
    // SRIX4K block read uses the code with one byte.
    if (r.card_family != kFamilyTypeA || c.payload.size() < 4 || c.payload.size() != 4u + c.payload[3]) {
        return std::nullopt;
    }
    const auto memory = memoryOf(activeCard(typeACards(r)));
    if (!memory) return Reply::error(activeCard(typeACards(r)) ? kWrongCardType : kNotSelected);
    const std::size_t start = startOf(c), length = c.payload[3];
    if (start + length > memory->unit * memory->units) return Reply::error(kBlockRange);
    if (start % memory->unit != 0 || length % memory->unit != 0) return Reply::error(kBadParameter);
    for (std::size_t done = 0; done < length; done += memory->unit) {
        const int unit = static_cast<int>((start + done) / memory->unit);
        if (const std::uint8_t status = memory->write(unit, &c.payload[4 + done])) return Reply::error(status);
    }
    return Reply::ok();
}

std::optional<Reply> initCard(Reader& r, const Command& c) {
    if (c.payload.size() != 17) return std::nullopt;  // 5 bytes: the display
    static const std::uint8_t kFactoryKey[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    std::uint8_t status = kOk;
    TypeACard* found = selectedOrSearch(r, &status);
    if (found == nullptr) return Reply::error(status);
    auto* card = dynamic_cast<MifareClassic*>(found);
    if (card == nullptr) return Reply::error(kWrongCardType);
    if ((status = card->authenticate(c.payload[0], mifare::Key::A, kFactoryKey)) != kOk) return Reply::error(status);
    return answer(card->write(c.payload[0], &c.payload[1]));
}

}  // namespace

void registerMifareReaderRecords(Firmware& fw) {
    registerRecords(fw, kv::cmd::rf_time_read, kv::cmd::rf_time_write, &ReaderRecords::clock);
    registerRecords(fw, kv::cmd::value_sum_read, kv::cmd::value_sum_write, &ReaderRecords::sums);
    fw.registerHandler(kv::cmd::rf_flash_card_read, flashCardRead);
    fw.registerHandler(kv::cmd::rf_flash_card_write, flashCardWrite);
    fw.registerHandler(kv::cmd::rf_M1_InitCard, initCard);
}

}  // namespace sim
