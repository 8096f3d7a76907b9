#include "key_list.h"

#include <fstream>

#include "core/errors.h"

namespace kl::mifare {
namespace {

// Factory keys and the widely published transport and NFC keys.
const char* const kDefaultKeys[] = {"FFFFFFFFFFFF", "A0A1A2A3A4A5", "D3F7D3F7D3F7", "000000000000",
                                    "B0B1B2B3B4B5", "4D3A99C351DD", "1A982C7E459A", "AABBCCDDEEFF"};

Bytes parseKey(const std::string& text, const std::string& where) {
    Bytes key;
    std::string why;
    if (parseHex(text, &key, &why) && key.size() != kKeySize) why = "'" + text + "' is not a 6-byte key";
    if (!why.empty()) throw usageError(where + ": " + why);
    return key;
}

}  // namespace

void KeyList::define(CLI::App& app) {
    app.add_option_function<std::vector<std::string>>(
           "-k,--key",
           [this](const std::vector<std::string>& texts) {
               for (const std::string& t : texts) {
                   Bytes key;
                   std::string why;
                   if (parseHex(t, &key, &why) && key.size() != kKeySize) why = "'" + t + "' is not a 6-byte key";
                   if (!why.empty()) throw CLI::ValidationError("--key", why);
                   given_.push_back(key);
               }
           },
           "a 6-byte key in hex to try; repeat for several (default: common factory and transport keys)")
        ->type_name("HEX");
    app.add_option("--keys-file", file_, "a file of keys to try, one per line ('#' starts a comment)")
        ->check(CLI::ExistingFile);
}

std::vector<Bytes> KeyList::keys() const {
    std::vector<Bytes> keys = given_;
    if (!file_.empty()) {
        std::ifstream in(file_);
        int number = 0;
        for (std::string line; std::getline(in, line);) {
            ++number;
            line = line.substr(0, line.find('#'));
            if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
            keys.push_back(parseKey(line, file_ + ":" + std::to_string(number)));
        }
    }
    if (keys.empty()) {
        for (const char* k : kDefaultKeys) keys.push_back(parseKey(k, "default keys"));
    }
    return keys;
}

std::optional<Bytes> findKey(Card& card, unsigned sector, unsigned char type, const std::vector<Bytes>& keys) {
    const unsigned block = card.id().layout.firstBlock(sector);
    for (const Bytes& key : keys) {
        if (card.tryAuthenticate(block, type, key)) return key;
    }
    return std::nullopt;
}

}  // namespace kl::mifare
