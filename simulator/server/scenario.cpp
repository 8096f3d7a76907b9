#include "server/scenario.h"

#include <fstream>
#include <nlohmann/json.hpp>

#include "cards/toolkit.h"

namespace sim {
namespace {

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
    if (j.contains("address")) config->address = j.at("address").get<std::uint16_t>();
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

bool loadScenario(const std::string& path, const CardCatalog& catalog, Scenario* out, std::string* why) {
    std::string reason;
    std::ifstream in(path);
    if (!in) {
        if (why) *why = "cannot open scenario " + path;
        return false;
    }
    try {
        const nlohmann::json doc = nlohmann::json::parse(in);
        Scenario scenario;
        if (doc.contains("reader") && !readReader(doc.at("reader"), &scenario.reader, &reason)) {
            if (why) *why = path + ": " + reason;
            return false;
        }
        const std::string base = folderOf(path);
        for (const nlohmann::json& card : doc.value("cards", nlohmann::json::array())) {
            CardOptions options;
            for (const auto& [key, value] : card.items()) {
                if (key == "type") continue;
                std::string text = optionText(value);
                if (isFileOption(key) && !text.empty() && text[0] != '/') text = base + "/" + text;
                options[key] = text;
            }
            CardPtr made = catalog.make(card.at("type").get<std::string>(), options, &reason);
            if (!made) {
                if (why) *why = path + ": " + reason;
                return false;
            }
            scenario.cards.push_back(std::move(made));
        }
        *out = std::move(scenario);
        return true;
    } catch (const nlohmann::json::exception& e) {
        if (why) *why = path + ": " + e.what();
        return false;
    }
}

}  // namespace sim
