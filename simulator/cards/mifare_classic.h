// Mifare Classic 1K and 4K: sectors with trailers, access conditions,
// authentication with key A or B, value blocks and the transfer buffer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "mifare_access.h"
#include "mifare_layout.h"
#include "cards/type_a_session.h"
#include "cards/toolkit.h"

namespace sim {

namespace mifare = common::mifare;

class MifareClassic : public SessionCard {
public:
    enum class Size { k1K, k4K };
    static constexpr std::size_t kBlockSize = mifare::kBlockSize;

    // A card in delivery state: transport keys FF..FF, access bits FF 07 80,
    // zeroed data, block 0 made from the UID (4 or 7 bytes). ATQA/SAK follow
    // the size and UID length.
    MifareClassic(Size size, std::vector<std::uint8_t> uid);

    std::string kind() const override { return size_ == Size::k1K ? "mifare1k" : "mifare4k"; }
    std::string describe() const override;
    bool saveDump(const std::string& path, std::string* why) const override;

    Size size() const { return size_; }
    const mifare::Layout& layout() const { return size_ == Size::k1K ? mifare::k1K : mifare::k4K; }
    int blockCount() const { return static_cast<int>(layout().blocks()); }
    int sectorCount() const { return static_cast<int>(layout().sectors); }
    // Sectors and blocks lie at the same numbers on both sizes.
    static int sectorOf(int block) { return static_cast<int>(mifare::kLargestLayout.sectorOf(static_cast<unsigned>(block))); }
    static int firstBlock(int sector) { return static_cast<int>(mifare::kLargestLayout.firstBlock(static_cast<unsigned>(sector))); }
    static int blocksIn(int sector) { return static_cast<int>(mifare::kLargestLayout.blockCount(static_cast<unsigned>(sector))); }
    static int trailerOf(int sector) { return static_cast<int>(mifare::kLargestLayout.trailer(static_cast<unsigned>(sector))); }

    // The whole memory image, keys included, as a dump holds it.
    const Bytes& image() const { return memory_; }
    // Replaces the memory image (same size); the UID stays as it is.
    bool loadImage(const Bytes& image, std::string* why);
    // Sets key A and key B of every sector trailer.
    void setKeys(const Bytes& key_a, const Bytes& key_b);

    // Card operations; each returns a reader status (kOk on success).
    // A failed authentication drops the card to idle.
    std::uint8_t authenticate(int block, mifare::Key key, const std::uint8_t* key_bytes);
    std::uint8_t read(int block, Bytes* out) const;
    std::uint8_t write(int block, const std::uint8_t* data);
    std::uint8_t readValue(int block, std::int32_t* value) const;
    std::uint8_t initValue(int block, std::int32_t value);
    // Increment, decrement and restore fill the transfer buffer; transfer
    // writes it into a block of the authenticated sector.
    std::uint8_t increment(int block, std::int32_t by);
    std::uint8_t decrement(int block, std::int32_t by);
    std::uint8_t restore(int block);
    std::uint8_t transfer(int block);

    std::optional<int> authenticatedSector() const { return auth_sector_; }
    void endSession() override;

private:
    const std::uint8_t* blockAt(int block) const { return memory_.data() + block * kBlockSize; }
    std::uint8_t* blockAt(int block) { return memory_.data() + block * kBlockSize; }
    std::uint8_t checkSession(int sector) const;
    std::uint8_t checkData(int block, mifare::DataOp op) const;
    std::optional<mifare::Conditions> conditions(int sector) const;
    std::uint8_t writeTrailer(int block, const std::uint8_t* data);
    std::uint8_t loadValue(int block, mifare::DataOp op, std::int32_t* value) const;
    std::uint8_t storeValue(std::int64_t value, int source_block);

    Size size_;
    Bytes memory_;
    std::optional<int> auth_sector_;
    mifare::Key auth_key_ = mifare::Key::A;
    struct TransferBuffer {
        std::int32_t value;
        std::uint8_t address;
    };
    std::optional<TransferBuffer> transfer_;
};

}  // namespace sim
