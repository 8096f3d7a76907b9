#include "server/scenario.h"

#include <algorithm>
#include <cstdint>

#include <nlohmann/json.hpp>

#include "cards/toolkit.h"
#include "file_io.h"

namespace sim {
namespace {

constexpr std::size_t kMaxScenarioSize = 1 << 20;
constexpr int kMaxNesting = 16;  // a scenario needs 4 levels; deeper is an error or an attack

// The deepest nesting of arrays and objects in `text`, counted before the
// document is parsed, so that a deeply nested file is refused without ever
// being built or walked.
int nestingDepth(const std::string& text) {
    int depth = 0, deepest = 0;
    bool in_string = false, escape = false;
    for (const char c : text) {
        if (in_string) {
            if (escape) escape = false;
            else if (c == '\\') escape = true;
            else if (c == '"') in_string = false;
        } else if (c == '"') {
            in_string = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return deepest;
}

// An integer within [0, max]; floats, negatives and larger numbers are refused
// rather than converted.
bool boundedInteger(const nlohmann::json& value, std::uint64_t max, std::uint64_t* out) {
    if (value.is_number_unsigned()) {
        *out = value.get<std::uint64_t>();
    } else if (value.is_number_integer()) {
        const std::int64_t v = value.get<std::int64_t>();
        if (v < 0) return false;
        *out = static_cast<std::uint64_t>(v);
    } else {
        return false;
    }
    return *out <= max;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

bool isFileOption(const std::string& key) { return key == "dump" || key == "file"; }

std::string optionText(const nlohmann::json& value) {
    if (value.is_string()) return value.get<std::string>();
    if (value.is_boolean()) return value.get<bool>() ? "1" : "0";
    return value.dump();
}

bool readReader(const nlohmann::json& j, ReaderConfig* config, std::string* why) {
    if (!j.is_object()) {
        *why = "reader must be an object";
        return false;
    }
    if (j.contains("address")) {
        std::uint64_t address = 0;
        if (!boundedInteger(j.at("address"), 0xFFFF, &address)) {
            *why = "reader.address must be a whole number from 0 to 65535, not " + j.at("address").dump();
            return false;
        }
        config->address = static_cast<std::uint16_t>(address);
    }
    if (j.contains("model")) {
        Bytes model;
        if (!parseHex(j.at("model").get<std::string>(), &model) || model.size() != 2) {
            *why = "reader.model must be 2 bytes of hex";
            return false;
        }
        config->model = {model[0], model[1]};
    }
    if (j.contains("serial") && !parseHex(j.at("serial").get<std::string>(), &config->serial)) {
        *why = "reader.serial must be hex";
        return false;
    }
    if (j.contains("flash")) config->flash_path = j.at("flash").get<std::string>();
    return true;
}

}  // namespace

bool parseScenario(const std::string& text, const std::string& base, const CardCatalog& catalog, Scenario* out,
                   std::string* why) {
    auto fail = [why](const std::string& reason) {
        if (why) *why = reason;
        return false;
    };
    if (nestingDepth(text) > kMaxNesting) return fail("nested deeper than " + std::to_string(kMaxNesting) + " levels");
    try {
        const nlohmann::json doc = nlohmann::json::parse(text);
        if (!doc.is_object()) return fail("a scenario is a JSON object");
        const nlohmann::json cards = doc.value("cards", nlohmann::json::array());
        if (!cards.is_array()) return fail("cards must be an array");
        Scenario scenario;
        std::string reason;
        if (doc.contains("reader") && !readReader(doc.at("reader"), &scenario.reader, &reason)) return fail(reason);
        for (const nlohmann::json& card : cards) {
            if (!card.is_object()) return fail("each card must be an object");
            CardOptions options;
            for (const auto& [key, value] : card.items()) {
                if (key == "type") continue;
                std::string option = optionText(value);
                if (isFileOption(key) && !option.empty() && option[0] != '/') option = base + "/" + option;
                options[key] = option;
            }
            CardPtr made = catalog.make(card.at("type").get<std::string>(), options, &reason);
            if (!made) return fail(reason);
            scenario.cards.push_back(std::move(made));
        }
        *out = std::move(scenario);
        return true;
    } catch (const nlohmann::json::exception& e) {
        return fail(e.what());
    }
}

bool loadScenario(const std::string& path, const CardCatalog& catalog, Scenario* out, std::string* why) {
    std::string reason, text;
    if (!common::readBoundedFile(path, kMaxScenarioSize, "a scenario file", &text, &reason)) {
        if (why) *why = "cannot read scenario " + path + ": " + reason;
        return false;
    }
    if (parseScenario(text, folderOf(path), catalog, out, &reason)) return true;
    if (why) *why = path + ": " + reason;
    return false;
}

}  // namespace sim
