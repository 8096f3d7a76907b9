// Reading a Mifare Classic card a sector at a time with candidate keys, in
// as few exchanges as the reader allows: the one-shot commands carry key
// and address together (a key tried, a sector's data blocks or a block read
// in one exchange each); a reader that refuses them is driven with separate
// authentication and block reads instead.
#pragma once

#include <optional>
#include <vector>

#include "card.h"

namespace kl::mifare {

// What one sector gave up.
struct SectorRead {
    std::optional<Bytes> key_a, key_b;
    // One entry per block of the sector; the trailer as the card shows it
    // (key A as zeros, key B as zeros where it may not be read).
    std::vector<std::optional<Bytes>> blocks;
    bool key_b_readable = false;  // key B is plain data in the trailer
    bool blocked = false;         // the card calls the sector unusable (access bits)
    unsigned unread() const;
};

class SectorReader {
public:
    // `card` has been searched.
    explicit SectorReader(Card& card) : card_(card) {}

    // Finds key A and key B of `sector` among `keys` (tried in order) and
    // reads every block one of them may read.
    SectorRead read(unsigned sector, const std::vector<Bytes>& keys);

    // The first of `keys` that opens `sector` as key `type`, in one exchange a key where the reader allows.
    std::optional<Bytes> findKey(unsigned sector, unsigned char type, const std::vector<Bytes>& keys);

    bool oneShot() const { return one_shot_; }

private:
    // Status of reading `block` with the key: 0 with *data filled, or the reader's refusal.
    int readBlock(unsigned char type, const Bytes& key, unsigned block, Bytes* data);
    // Status of reading the sector's data blocks with the key, filling `into`.
    int readData(unsigned char type, const Bytes& key, unsigned sector, SectorRead* into);
    // Reads the blocks still missing with the key, one by one.
    void readMissing(unsigned char type, const Bytes& key, unsigned sector, SectorRead* into);
    // Whether `status` means the reader does not know the one-shot commands.
    bool refusesOneShot(int status);

    Card& card_;
    bool one_shot_ = true;
};

}  // namespace kl::mifare
