#include "key_list.h"

#include <algorithm>
#include <sstream>

#include "card_image.h"

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

std::string builtInKeys() {
    std::string list;
    for (const char* k : kDefaultKeys) list += (list.empty() ? "" : " ") + std::string(k);
    return list;
}

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
           "a 6-byte key in hex to try before the built-in keys; repeat for several")
        ->type_name("HEX");
    app.add_option("--keys-file", file_,
                   "a key dictionary: one 12-hex key a line, '#' starts a comment; tried after -k, before the "
                   "built-in keys")
        ->check(CLI::ExistingFile);
    app.add_flag("--no-default-keys", no_defaults_, "try only the keys given with -k and --keys-file");
    app.footer("Built-in keys (tried after the keys given): " + builtInKeys());
}

std::vector<Bytes> KeyList::keys() const {
    std::vector<Bytes> keys = given_;
    if (!file_.empty()) {
        std::string content;
        common::image::Error error;
        if (!common::image::readFile(file_, &content, &error)) throw usageError(error.text());
        std::istringstream in(content);
        int number = 0;
        for (std::string line; std::getline(in, line);) {
            ++number;
            line = line.substr(0, line.find('#'));
            if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
            keys.push_back(parseKey(line, file_ + ":" + std::to_string(number)));
        }
    }
    if (!no_defaults_) {
        for (const char* k : kDefaultKeys) keys.push_back(parseKey(k, "default keys"));
    }
    if (keys.empty()) throw usageError("no keys to try: give -k or --keys-file with --no-default-keys");
    return uniqueKeys(std::move(keys));
}

std::vector<Bytes> uniqueKeys(std::vector<Bytes> keys) {
    std::vector<Bytes> unique;
    for (Bytes& key : keys) {
        if (std::find(unique.begin(), unique.end(), key) == unique.end()) unique.push_back(std::move(key));
    }
    return unique;
}

std::string dictionaryText(const std::vector<Bytes>& keys, const std::string& comment) {
    std::string text = "# " + comment + "\n";
    for (const Bytes& key : keys) text += toHex(key) + "\n";
    return text;
}

std::optional<Bytes> findKey(Card& card, unsigned sector, unsigned char type, const std::vector<Bytes>& keys) {
    const unsigned block = card.id().layout.firstBlock(sector);
    for (const Bytes& key : keys) {
        if (card.tryAuthenticate(block, type, key)) return key;
    }
    return std::nullopt;
}

}  // namespace kl::mifare
