// The card dump of Proxmark3 in JSON: "FileType" "mfcard", the card's
// identity under "Card", its blocks under "blocks" by number, and the keys
// and access conditions of each sector under "SectorKeys". Only the blocks
// are read; the rest is written so that the other tools find what they show.
#include <algorithm>
#include <cctype>
#include <nlohmann/json.hpp>

#include "image_lines.h"
#include "mifare_access.h"

namespace common::image {
namespace {

using mifare::kBlockSize;
using nlohmann::ordered_json;

int lineAt(std::string_view text, std::size_t offset) {
    offset = std::min(offset, text.size());
    int line = 1;
    for (std::size_t i = 0; i < offset; ++i) line += text[i] == '\n';
    return line;
}

// The line of `"key":` inside the "blocks" object, for errors about one
// block (of "blocks" itself for an empty key); 0 when there is no "blocks".
int lineOfBlock(std::string_view text, const std::string& key) {
    const std::size_t blocks = text.find("\"blocks\"");
    if (blocks == std::string_view::npos) return 0;
    if (key.empty()) return lineAt(text, blocks);
    const std::string quoted = "\"" + key + "\"";
    for (std::size_t at = text.find(quoted, blocks); at != std::string_view::npos; at = text.find(quoted, at + 1)) {
        std::size_t after = at + quoted.size();
        while (after < text.size() && std::isspace(static_cast<unsigned char>(text[after]))) ++after;
        if (after < text.size() && text[after] == ':') return lineAt(text, at);
    }
    return lineAt(text, blocks);
}

// What each key may do under a condition, in the manner of the other tools'
// "AccessConditionsText".
std::string dataText(std::uint8_t c) {
    using mifare::DataOp;
    return std::string("read ") + mifare::whoMay(c, DataOp::read) + "; write " + mifare::whoMay(c, DataOp::write) +
           "; increment " + mifare::whoMay(c, DataOp::increment) + "; decrement transfer restore " +
           mifare::whoMay(c, DataOp::decrement);
}

std::string trailerText(std::uint8_t c) {
    using mifare::TrailerOp;
    return std::string("write A by ") + mifare::whoMay(c, TrailerOp::writeKeyA) + "; read ACCESS by " +
           mifare::whoMay(c, TrailerOp::readAccess) + "; write ACCESS by " + mifare::whoMay(c, TrailerOp::writeAccess) +
           "; read B by " + mifare::whoMay(c, TrailerOp::readKeyB) + "; write B by " +
           mifare::whoMay(c, TrailerOp::writeKeyB);
}

}  // namespace

bool parseJson(std::string_view text, Image* image, Error* error) {
    const auto fail = [&](int line, std::string message) {
        *error = Error{"", line, std::move(message)};
        return false;
    };
    ordered_json doc;
    try {
        doc = ordered_json::parse(text.begin(), text.end());
    } catch (const ordered_json::parse_error& e) {
        std::string what = e.what();
        const std::size_t colon = what.find(": ");
        return fail(lineAt(text, e.byte == 0 ? 0 : e.byte - 1),
                    "not valid JSON (" + (colon == std::string::npos ? what : what.substr(colon + 2)) + ")");
    }
    if (!doc.is_object()) return fail(1, "a card dump in JSON is an object");
    if (doc.contains("FileType") && doc["FileType"] != "mfcard") {
        return fail(0, "FileType " + doc["FileType"].dump() + " is not a Mifare Classic dump (\"mfcard\")");
    }
    if (!doc.contains("blocks") || !doc["blocks"].is_object()) return fail(0, "no \"blocks\" object");
    const ordered_json& blocks = doc["blocks"];
    const std::optional<mifare::Layout> layout = mifare::layoutOfBlocks(blocks.size());
    if (!layout) {
        return fail(lineOfBlock(text, ""), std::to_string(blocks.size()) +
                                               " blocks; a Mifare Classic image has 20, 64, 128 or 256");
    }
    Image result;
    result.format = Format::json;
    for (unsigned b = 0; b < layout->blocks(); ++b) {
        const std::string key = std::to_string(b);
        if (!blocks.contains(key)) return fail(lineOfBlock(text, ""), "block " + key + " is missing");
        const ordered_json& value = blocks[key];
        if (!value.is_string()) return fail(lineOfBlock(text, key), "block " + key + " is not a string of hex");
        const std::string why = appendLine(trimmed(value.get<std::string>()), kBlockSize, &result);
        if (!why.empty()) return fail(lineOfBlock(text, key), "block " + key + ": " + why);
    }
    *image = std::move(result);
    return true;
}

std::string jsonText(const Image& image) {
    const mifare::Layout layout = mifare::layoutOfBlocks(image.bytes.size() / kBlockSize).value_or(mifare::k1K);
    const std::uint8_t* b0 = image.bytes.data();
    // Block 0: a 4-byte UID is followed by its check byte, then SAK and ATQA.
    const bool four = (b0[0] ^ b0[1] ^ b0[2] ^ b0[3]) == b0[4];
    const std::size_t uid = four ? 4 : 7;
    ordered_json doc;
    doc["Created"] = "kovalink";
    doc["FileType"] = "mfcard";
    doc["Card"] = {{"UID", lineOf(image, 0, uid)},
                   {"ATQA", lineOf(image, uid + (four ? 2 : 1), 2)},
                   {"SAK", lineOf(image, uid + (four ? 1 : 0), 1)}};
    ordered_json blocks = ordered_json::object();
    for (unsigned b = 0; b < layout.blocks(); ++b) blocks[std::to_string(b)] = lineOf(image, b * kBlockSize, kBlockSize);
    doc["blocks"] = blocks;
    ordered_json keys = ordered_json::object();
    for (unsigned s = 0; s < layout.sectors; ++s) {
        const std::size_t trailer = layout.trailer(s) * kBlockSize;
        ordered_json sector = {{"KeyA", lineOf(image, trailer + mifare::kKeyAOffset, mifare::kKeySize)},
                               {"KeyB", lineOf(image, trailer + mifare::kKeyBOffset, mifare::kKeySize)},
                               {"AccessConditions", lineOf(image, trailer + mifare::kAccessOffset, 4)}};
        if (image.knows(trailer + mifare::kAccessOffset, 4)) {
            const mifare::Conditions c = mifare::conditionsOf(&image.bytes[trailer + mifare::kAccessOffset]);
            sector["AccessConditionsText"] = {{"block0", dataText(c[0])},
                                              {"block1", dataText(c[1])},
                                              {"block2", dataText(c[2])},
                                              {"block3", trailerText(c[3])},
                                              {"UserData", lineOf(image, trailer + 9, 1)}};
        }
        keys[std::to_string(s)] = sector;
    }
    doc["SectorKeys"] = keys;
    return doc.dump(2) + "\n";
}

}  // namespace common::image
