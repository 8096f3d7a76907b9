#include "cards/mifare_classic.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "card_image.h"
#include "cards/toolkit.h"
#include "value_block.h"

namespace sim {

using mifare::DataOp;
using mifare::Key;
using mifare::TrailerOp;

namespace {

constexpr std::uint8_t kDeliveryTrailer[16] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x07,
                                               0x80, 0x69, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

std::uint16_t atqaFor(MifareClassic::Size size, std::size_t uid_length) {
    const bool seven = uid_length == 7;
    return size == MifareClassic::Size::k1K ? (seven ? 0x0044 : 0x0004) : (seven ? 0x0042 : 0x0002);
}

// Block 0: UID, BCC (4-byte UID only), SAK, ATQA, then manufacturer bytes.
Bytes manufacturerBlock(const Bytes& uid, std::uint8_t sak, std::uint16_t atqa) {
    Bytes block(uid);
    if (uid.size() == 4) block.push_back(uid[0] ^ uid[1] ^ uid[2] ^ uid[3]);
    block.push_back(sak);
    block.push_back(static_cast<std::uint8_t>(atqa));
    block.push_back(static_cast<std::uint8_t>(atqa >> 8));
    const std::uint8_t maker[] = {0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69};
    for (std::size_t i = 0; block.size() < MifareClassic::kBlockSize; ++i) block.push_back(maker[i % 8]);
    return block;
}

}  // namespace

MifareClassic::MifareClassic(Size size, std::vector<std::uint8_t> uid)
    : SessionCard(uid, atqaFor(size, uid.size()), size == Size::k1K ? 0x08 : 0x18), size_(size) {
    memory_.assign(static_cast<std::size_t>(blockCount()) * kBlockSize, 0);
    const Bytes block0 = manufacturerBlock(uid_, sak_, atqa_);
    std::copy(block0.begin(), block0.end(), memory_.begin());
    for (int s = 0; s < sectorCount(); ++s) std::memcpy(blockAt(trailerOf(s)), kDeliveryTrailer, kBlockSize);
}

std::string MifareClassic::describe() const {
    const char* name = size_ == Size::k1K ? "Mifare Classic 1K" : "Mifare Classic 4K";
    return std::string(name) + " UID " + hex(uid_) + stateNote();
}

bool MifareClassic::saveDump(const std::string& path, std::string* why) const {
    common::image::Error error;
    if (common::image::saveClassic(path, common::image::Image::of(memory_), &error)) return true;
    if (why) *why = error.text();
    return false;
}

bool MifareClassic::loadImage(const Bytes& image, std::string* why) { return replaceMemory(memory_, image, why); }

void MifareClassic::setKeys(const Bytes& key_a, const Bytes& key_b) {
    for (int s = 0; s < sectorCount(); ++s) {
        std::uint8_t* trailer = blockAt(trailerOf(s));
        std::copy(key_a.begin(), key_a.begin() + 6, trailer);
        std::copy(key_b.begin(), key_b.begin() + 6, trailer + 10);
    }
}

void MifareClassic::endSession() {
    auth_sector_.reset();
    transfer_.reset();
}

std::optional<mifare::Conditions> MifareClassic::conditions(int sector) const {
    return mifare::decodeAccess(blockAt(trailerOf(sector)) + 6);
}

std::uint8_t MifareClassic::authenticate(int block, Key key, const std::uint8_t* key_bytes) {
    if (block < 0 || block >= blockCount()) return kBlockRange;
    const int sector = sectorOf(block);
    const auto access = conditions(sector);
    const std::uint8_t* trailer = blockAt(trailerOf(sector));
    const std::uint8_t* stored = key == Key::A ? trailer : trailer + 10;
    if (!access || std::memcmp(stored, key_bytes, 6) != 0) {
        dropToIdle();
        return access ? kAuthFailed : kSectorBlocked;
    }
    auth_sector_ = sector;
    auth_key_ = key;
    transfer_.reset();
    return kOk;
}

// Where the trailer lets key B be read (conditions 000, 010, 001), key B
// is data, not a key: authentication with it succeeds, but the card
// refuses every read and write that follows.
std::uint8_t MifareClassic::checkSession(int sector) const {
    if (auth_sector_ != sector) return kNotAuthenticated;
    const auto access = conditions(sector);
    if (!access) return kSectorBlocked;
    if (auth_key_ == Key::B && mifare::keyBReadable((*access)[3])) return kAccessDenied;
    return kOk;
}

// The block's group decides; see Layout::accessGroup.
std::uint8_t MifareClassic::checkData(int block, DataOp op) const {
    if (block < 0 || block >= blockCount()) return kBlockRange;
    const int sector = sectorOf(block);
    if (const std::uint8_t status = checkSession(sector)) return status;
    const auto access = conditions(sector);
    const unsigned group = layout().accessGroup(static_cast<unsigned>(block));
    return mifare::dataAllowed((*access)[group], op, auth_key_) ? kOk : kAccessDenied;
}

std::uint8_t MifareClassic::read(int block, Bytes* out) const {
    if (block < 0 || block >= blockCount()) return kBlockRange;
    const int sector = sectorOf(block);
    if (block != trailerOf(sector)) {
        if (const std::uint8_t status = checkData(block, DataOp::read)) return status;
        out->assign(blockAt(block), blockAt(block) + kBlockSize);
        return kOk;
    }
    if (const std::uint8_t status = checkSession(sector)) return status;
    const auto access = conditions(sector);
    // Key A never reads back; access bits and key B only where permitted.
    const std::uint8_t* trailer = blockAt(block);
    out->assign(kBlockSize, 0);
    if (mifare::trailerAllowed((*access)[3], TrailerOp::readAccess, auth_key_)) {
        std::copy(trailer + 6, trailer + 10, out->begin() + 6);
    }
    if (mifare::trailerAllowed((*access)[3], TrailerOp::readKeyB, auth_key_)) {
        std::copy(trailer + 10, trailer + 16, out->begin() + 10);
    }
    return kOk;
}

std::uint8_t MifareClassic::write(int block, const std::uint8_t* data) {
    if (block < 0 || block >= blockCount()) return kBlockRange;
    if (block == trailerOf(sectorOf(block))) return writeTrailer(block, data);
    if (const std::uint8_t status = checkData(block, DataOp::write)) return status;
    if (block == 0) return kLocked;  // the manufacturer block is read-only
    std::memcpy(blockAt(block), data, kBlockSize);
    return kOk;
}

// Each part of the trailer is written only where the access bits permit;
// a write that may change no part is refused.
std::uint8_t MifareClassic::writeTrailer(int block, const std::uint8_t* data) {
    const int sector = sectorOf(block);
    if (const std::uint8_t status = checkSession(sector)) return status;
    const auto access = conditions(sector);
    const std::uint8_t c = (*access)[3];
    const bool key_a = mifare::trailerAllowed(c, TrailerOp::writeKeyA, auth_key_);
    const bool bits = mifare::trailerAllowed(c, TrailerOp::writeAccess, auth_key_);
    const bool key_b = mifare::trailerAllowed(c, TrailerOp::writeKeyB, auth_key_);
    if (!key_a && !bits && !key_b) return kAccessDenied;
    std::uint8_t* trailer = blockAt(block);
    if (key_a) std::memcpy(trailer, data, 6);
    if (bits) std::memcpy(trailer + 6, data + 6, 4);
    if (key_b) std::memcpy(trailer + 10, data + 10, 6);
    return kOk;
}

std::uint8_t MifareClassic::loadValue(int block, DataOp op, std::int32_t* value) const {
    if (block >= 0 && block < blockCount() && block == trailerOf(sectorOf(block))) return kValueFormat;
    if (const std::uint8_t status = checkData(block, op)) return status;
    std::uint8_t address = 0;
    return mifare::parseValueBlock(blockAt(block), value, &address) ? kOk : kValueFormat;
}

std::uint8_t MifareClassic::readValue(int block, std::int32_t* value) const {
    return loadValue(block, DataOp::read, value);
}

// Only data blocks hold values; a trailer is never formatted as one.
std::uint8_t MifareClassic::initValue(int block, std::int32_t value) {
    if (block >= 0 && block < blockCount() && block == trailerOf(sectorOf(block))) return kAccessDenied;
    return write(block, mifare::valueBlock(value, static_cast<std::uint8_t>(block)).data());
}

std::uint8_t MifareClassic::storeValue(std::int64_t value, int source_block) {
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max()) {
        return kValueOverflow;
    }
    std::int32_t ignored = 0;
    std::uint8_t address = 0;
    mifare::parseValueBlock(blockAt(source_block), &ignored, &address);
    transfer_ = TransferBuffer{static_cast<std::int32_t>(value), address};
    return kOk;
}

std::uint8_t MifareClassic::increment(int block, std::int32_t by) {
    std::int32_t value = 0;
    if (const std::uint8_t status = loadValue(block, DataOp::increment, &value)) return status;
    return storeValue(static_cast<std::int64_t>(value) + by, block);
}

std::uint8_t MifareClassic::decrement(int block, std::int32_t by) {
    std::int32_t value = 0;
    if (const std::uint8_t status = loadValue(block, DataOp::decrement, &value)) return status;
    return storeValue(static_cast<std::int64_t>(value) - by, block);
}

std::uint8_t MifareClassic::restore(int block) {
    std::int32_t value = 0;
    if (const std::uint8_t status = loadValue(block, DataOp::decrement, &value)) return status;
    return storeValue(value, block);
}

// The target keeps its own address bytes when it already is a value block.
std::uint8_t MifareClassic::transfer(int block) {
    if (block >= 0 && block < blockCount() && block == trailerOf(sectorOf(block))) return kAccessDenied;
    if (const std::uint8_t status = checkData(block, DataOp::decrement)) return status;
    if (block == 0) return kLocked;
    if (!transfer_) return kTransferEmpty;
    std::int32_t old_value = 0;
    std::uint8_t address = transfer_->address;
    mifare::parseValueBlock(blockAt(block), &old_value, &address);
    const Bytes formatted = mifare::valueBlock(transfer_->value, address);
    std::memcpy(blockAt(block), formatted.data(), kBlockSize);
    return kOk;
}

}  // namespace sim
