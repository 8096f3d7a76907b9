// The type A card types of the catalogue and their options.
#include <string>
#include <vector>

#include "cards/card_options.h"
#include "cards/catalog.h"
#include "cards/mifare_classic.h"
#include "cards/ultralight.h"
#include "card_image.h"
#include "cards/card_types.h"

namespace sim {
namespace {

// Lays what an image file knows over `image`, the card as it would be
// without the file: bytes the file marks unknown, and sectors it leaves out,
// keep what the card holds.
void overlay(const common::image::Image& file, Bytes* image) {
    for (std::size_t i = 0; i < image->size() && i < file.bytes.size(); ++i) {
        if (file.known[i]) (*image)[i] = file.bytes[i];
    }
}

// The message of a refused image, for the card's option.
CardPtr refuse(const common::image::Error& error, std::string* why) {
    if (why) *why = error.text();
    return nullptr;
}

CardPtr makeClassic(MifareClassic::Size size, const CardOptions& options, std::string* why) {
    Bytes uid = size == MifareClassic::Size::k1K ? Bytes{0xA1, 0xB2, 0xC3, 0xD4} : Bytes{0xC4, 0xB3, 0xA2, 0xF1};
    Bytes image, key_a, key_b;
    if (!onlyOptions(options, {"uid", "dump", "keya", "keyb"}, why) || !hexOption(options, "uid", {4, 7}, &uid, why) ||
        !hexOption(options, "keya", {6}, &key_a, why) || !hexOption(options, "keyb", {6}, &key_b, why)) {
        return nullptr;
    }
    if (options.count("dump")) {
        const MifareClassic blank(size, uid);
        common::image::Image file;
        common::image::Error error;
        if (!common::image::loadClassic(options.at("dump"), &file, &error) ||
            !common::image::fitClassic(&file, blank.layout(), &error)) {
            return refuse(error, why);
        }
        image = blank.image();
        overlay(file, &image);
        if (!options.count("uid")) {
            // Block 0 starts with the UID; a 4-byte UID is followed by its BCC.
            const bool four = (image[0] ^ image[1] ^ image[2] ^ image[3]) == image[4];
            uid.assign(image.begin(), image.begin() + (four ? 4 : 7));
        }
    }
    auto card = std::make_shared<MifareClassic>(size, uid);
    if (!image.empty() && !card->loadImage(image, why)) return nullptr;
    if (!key_a.empty() || !key_b.empty()) {
        const Bytes& trailer = card->image();
        const std::size_t t = static_cast<std::size_t>(MifareClassic::trailerOf(0)) * 16;
        card->setKeys(key_a.empty() ? Bytes(trailer.begin() + t, trailer.begin() + t + 6) : key_a,
                      key_b.empty() ? Bytes(trailer.begin() + t + 10, trailer.begin() + t + 16) : key_b);
    }
    return card;
}

CardPtr makeTag(UltralightCard::Model model, const CardOptions& options, std::string* why) {
    Bytes uid = {0x04, 0x5A, 0x6B, 0x7C, 0x8D, 0x9E, static_cast<std::uint8_t>(0x80 + static_cast<int>(model))};
    Bytes image, key, pwd, pack, signature;
    unsigned long auth0 = 0, protect = 0, authlim = 0;
    const bool ulc = model == UltralightCard::Model::ultralightC, ntag213 = model == UltralightCard::Model::ntag213;
    std::vector<std::string> known = {"uid", "dump"};
    if (ulc) known = {"uid", "dump", "key", "auth0", "readprotect"};
    if (ntag213) known = {"uid", "dump", "pwd", "pack", "auth0", "prot", "authlim", "signature"};
    if (!onlyOptions(options, known, why) || !hexOption(options, "uid", {7}, &uid, why) ||
        !hexOption(options, "key", {16}, &key, why) || !hexOption(options, "pwd", {4}, &pwd, why) ||
        !hexOption(options, "pack", {2}, &pack, why) || !hexOption(options, "signature", {32}, &signature, why) ||
        !numberOption(options, "auth0", 0, 255, &auth0, why) ||
        !numberOption(options, "readprotect", 0, 1, &protect, why) ||
        !numberOption(options, "prot", 0, 1, &protect, why) || !numberOption(options, "authlim", 0, 7, &authlim, why)) {
        return nullptr;
    }
    if (options.count("dump")) {
        image = UltralightCard(model, uid).image();
        common::image::Image file;
        common::image::Error error;
        if (!common::image::loadPages(options.at("dump"), image.size(), &file, &error)) return refuse(error, why);
        overlay(file, &image);
        if (!options.count("uid")) uid = {image[0], image[1], image[2], image[4], image[5], image[6], image[7]};
    }
    auto tag = std::make_shared<UltralightCard>(model, uid);
    if (!image.empty() && !tag->loadImage(image, why)) return nullptr;
    if (!key.empty()) tag->setUlcKey(key.data());
    if (!pwd.empty() || !pack.empty()) {
        tag->setPassword(pwd.empty() ? Bytes{0xFF, 0xFF, 0xFF, 0xFF} : pwd, pack.empty() ? Bytes{0, 0} : pack);
    }
    if (!signature.empty()) tag->setSignature(signature);
    if (options.count("auth0")) tag->setAuth0(static_cast<std::uint8_t>(auth0));
    if (options.count("readprotect") || options.count("prot")) tag->setReadProtection(protect != 0);
    if (options.count("authlim")) tag->setAuthLimit(static_cast<std::uint8_t>(authlim));
    return tag;
}

const char* const kClassicOptions =
    "uid=HEX (4 or 7 bytes; default from the dump's block 0), dump=FILE (raw .mfd/.bin, text with "
    "\"+Sector: n\" headers, .eml block lines or Proxmark3 .json; saved in the format of the name; bytes a "
    "text marks \"--\" keep the card's), keya=HEX6, keyb=HEX6 (set in every trailer)";

}  // namespace

void registerTypeACardTypes(CardCatalog& catalog) {
    using Size = MifareClassic::Size;
    using Model = UltralightCard::Model;
    catalog.registerType({"mifare1k", "Mifare Classic 1K (16 sectors; ATQA 0004/0044, SAK 08)", kClassicOptions,
                 [](const CardOptions& o, std::string* why) { return makeClassic(Size::k1K, o, why); }});
    catalog.registerType({"mifare4k", "Mifare Classic 4K (40 sectors; ATQA 0002/0042, SAK 18)", kClassicOptions,
                 [](const CardOptions& o, std::string* why) { return makeClassic(Size::k4K, o, why); }});
    const char* const tag_options = "uid=HEX7, dump=FILE (page image, raw or one page of hex per line)";
    catalog.registerType({"ultralight", "Mifare Ultralight (16 pages)", tag_options,
                 [](const CardOptions& o, std::string* why) { return makeTag(Model::ultralight, o, why); }});
    catalog.registerType({"ultralightc", "Mifare Ultralight C (48 pages, 3DES key)",
                 std::string(tag_options) + ", key=HEX16 (3DES key, default \"BREAKMEIFYOUCAN!\" as stored), "
                 "auth0=PAGE (first protected page, default 0x30: none), readprotect=0|1 (reads need authentication)",
                 [](const CardOptions& o, std::string* why) { return makeTag(Model::ultralightC, o, why); }});
    catalog.registerType({"ntag203", "NTAG203 (42 pages)", tag_options,
                 [](const CardOptions& o, std::string* why) { return makeTag(Model::ntag203, o, why); }});
    catalog.registerType({"ntag213", "NTAG213 (45 pages, password, NFC counter, signature)",
                 std::string(tag_options) + ", pwd=HEX4 (default FFFFFFFF), pack=HEX2 (default 0000), "
                 "auth0=PAGE (default 0xFF: none), prot=0|1 (reads protected too), authlim=0-7, signature=HEX32",
                 [](const CardOptions& o, std::string* why) { return makeTag(Model::ntag213, o, why); }});
}

}  // namespace sim
