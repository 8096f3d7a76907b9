#include "sector_reader.h"

#include <algorithm>

#include "KovalinkHID.h"
#include "core/errors.h"
#include "mifare_access.h"
#include "reader_status.h"

namespace kl::mifare {
namespace {

namespace status = common::status;

// A key was right but the block's access conditions refuse the read.
bool refusedRead(int result) { return result == status::kAccessDenied; }

}  // namespace

unsigned SectorRead::unread() const {
    return static_cast<unsigned>(std::count(blocks.begin(), blocks.end(), std::nullopt));
}

bool SectorReader::refusesOneShot(int result) {
    if (result != status::kUnknownCommand && result != status::kBadLength && result != status::kNotSupported) return false;
    one_shot_ = false;
    card_.search();  // the card is selected again for the separate commands
    return true;
}

int SectorReader::readBlock(unsigned char type, const Bytes& key, unsigned block, Bytes* data) {
    const auto b = static_cast<unsigned char>(block);
    if (one_shot_) {
        unsigned char out[256] = {};
        unsigned char length = 0;
        const int result = card_.reader().tryCall("rf_M1_read_same_K62TX", [&] {
            return rf_M1_read_same_K62TX(card_.address(), type, b, key.data(), out, &length);
        });
        if (result == 0 && length == kBlockSize) {
            data->assign(out, out + kBlockSize);
            return 0;
        }
        if (result == 0 || result == 1) throw libraryError("rf_M1_read_same_K62TX", 1);
        if (!refusesOneShot(result)) return result;
    }
    if (!card_.tryAuthenticate(block, type, key)) return status::kAuthFailed;
    int result = 0;
    if (std::optional<Bytes> read = card_.tryRead(block, &result)) {
        *data = *read;
        return 0;
    }
    card_.search();  // a refused read leaves the card idle
    return result;
}

int SectorReader::readData(unsigned char type, const Bytes& key, unsigned sector, SectorRead* into) {
    const Layout& layout = card_.id().layout;
    const unsigned first = layout.firstBlock(sector), count = layout.blockCount(sector);
    if (one_shot_) {
        unsigned char out[256] = {};
        unsigned char length = 0;
        const auto s = static_cast<unsigned char>(sector);
        const int result = card_.reader().tryCall("rf_M1_read_sector_same_K62TX", [&] {
            return rf_M1_read_sector_same_K62TX(card_.address(), type, s, key.data(), out, &length);
        });
        // The data blocks, and the trailer too where the reader sends it.
        if (result == 0 && (length == (count - 1) * kBlockSize || length == count * kBlockSize)) {
            for (unsigned i = 0; i * kBlockSize < length; ++i) {
                into->blocks[i] = Bytes(out + i * kBlockSize, out + (i + 1) * kBlockSize);
            }
            return 0;
        }
        if (result == 0 || result == 1) throw libraryError("rf_M1_read_sector_same_K62TX", 1);
        if (!refusesOneShot(result)) return result;
    }
    if (!card_.tryAuthenticate(first, type, key)) return status::kAuthFailed;
    readMissing(type, key, sector, into);
    return 0;
}

void SectorReader::readMissing(unsigned char type, const Bytes& key, unsigned sector, SectorRead* into) {
    const unsigned first = card_.id().layout.firstBlock(sector);
    for (unsigned i = 0; i < into->blocks.size(); ++i) {
        if (into->blocks[i]) continue;
        Bytes data;
        const int result = readBlock(type, key, first + i, &data);
        if (result == 0) into->blocks[i] = data;
        else if (!refusedRead(result)) throw libraryError("reading block " + std::to_string(first + i), result);
    }
}

std::optional<Bytes> SectorReader::findKey(unsigned sector, unsigned char type, const std::vector<Bytes>& keys) {
    const unsigned trailer = card_.id().layout.trailer(sector);
    for (const Bytes& key : keys) {
        Bytes data;
        const int result = readBlock(type, key, trailer, &data);
        if (result == 0 || refusedRead(result)) return key;
        if (result == status::kSectorBlocked) return std::nullopt;
        if (result != status::kAuthFailed) throw libraryError("authenticating sector " + std::to_string(sector), result);
    }
    return std::nullopt;
}

SectorRead SectorReader::read(unsigned sector, const std::vector<Bytes>& keys) {
    const Layout& layout = card_.id().layout;
    const unsigned count = layout.blockCount(sector);
    SectorRead got;
    got.blocks.assign(count, std::nullopt);
    for (const unsigned char type : {kKeyA, kKeyB}) {
        std::optional<Bytes>& found = type == kKeyA ? got.key_a : got.key_b;
        if (type == kKeyB && got.key_b_readable) break;  // key B is data here and opens nothing
        for (const Bytes& key : keys) {
            const int result = readData(type, key, sector, &got);
            if (result == status::kAuthFailed) continue;
            if (result == status::kSectorBlocked) {
                got.blocked = true;  // inconsistent access bits: no key opens it
                return got;
            }
            if (result != 0 && !refusedRead(result)) {
                throw libraryError(std::string("reading sector ") + std::to_string(sector) + " with key " +
                                       (type == kKeyA ? "A " : "B ") + toHex(key), result);
            }
            found = key;
            break;
        }
        if (!found) continue;
        readMissing(type, *found, sector, &got);
        const std::optional<Bytes>& trailer = got.blocks.back();
        if (trailer) {
            const auto conditions = common::mifare::decodeAccess(trailer->data() + common::mifare::kAccessOffset);
            got.key_b_readable = conditions && common::mifare::keyBReadable((*conditions)[3]);
        }
    }
    if (got.key_b_readable && got.blocks.back()) {
        const auto at = got.blocks.back()->begin() + static_cast<std::ptrdiff_t>(common::mifare::kKeyBOffset);
        got.key_b = Bytes(at, at + kKeySize);
    }
    return got;
}

}  // namespace kl::mifare
