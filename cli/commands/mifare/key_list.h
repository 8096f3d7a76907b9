// Several candidate keys (-k repeated, --keys-file, the built-in keys) for
// the commands that work sector by sector: dump, restore, keys.
#pragma once

#include <optional>
#include <vector>

#include "card.h"

namespace kl::mifare {

class KeyList {
public:
    void define(CLI::App& app);
    // The keys given (-k, then the file), then the built-in keys; each once.
    std::vector<Bytes> keys() const;

private:
    std::vector<Bytes> given_;
    std::string file_;
    bool no_defaults_ = false;
};

// `keys` without repeats, in their order.
std::vector<Bytes> uniqueKeys(std::vector<Bytes> keys);

// A key dictionary as the other tools read it: a '#' comment line, then one
// key in 12 hex digits a line.
std::string dictionaryText(const std::vector<Bytes>& keys, const std::string& comment);

// The first key of `keys` that authenticates `sector` as key `type`; the
// sector stays authenticated with it.
std::optional<Bytes> findKey(Card& card, unsigned sector, unsigned char type, const std::vector<Bytes>& keys);

}  // namespace kl::mifare
