// Several candidate keys (-k repeated, --keys-file) for the commands that
// work sector by sector: dump, restore, keys.
#pragma once

#include <optional>
#include <vector>

#include "card.h"

namespace kl::mifare {

class KeyList {
public:
    void define(CLI::App& app);
    // The keys given, or the well-known defaults when none were.
    std::vector<Bytes> keys() const;

private:
    std::vector<Bytes> given_;
    std::string file_;
};

// The first key of `keys` that authenticates `sector` as key `type`; the
// sector stays authenticated with it.
std::optional<Bytes> findKey(Card& card, unsigned sector, unsigned char type, const std::vector<Bytes>& keys);

}  // namespace kl::mifare
