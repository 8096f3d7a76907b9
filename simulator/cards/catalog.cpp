#include "cards/catalog.h"

namespace sim {

void CardCatalog::registerType(CardType type) { types_.push_back(std::move(type)); }

CardPtr CardCatalog::make(const std::string& name, const CardOptions& options, std::string* why) const {
    for (const CardType& type : types_) {
        if (type.name == name) return type.make(options, why);
    }
    if (why) {
        *why = "unknown card type '" + name + "' (known:";
        for (const CardType& type : types_) *why += " " + type.name;
        *why += ")";
    }
    return nullptr;
}

bool parseCardSpec(const std::string& spec, std::string* name, CardOptions* options, std::string* why) {
    const std::size_t colon = spec.find(':');
    *name = spec.substr(0, colon);
    options->clear();
    if (name->empty()) {
        if (why) *why = "card type missing in '" + spec + "'";
        return false;
    }
    if (colon == std::string::npos) return true;
    std::size_t start = colon + 1;
    while (start <= spec.size()) {
        std::size_t end = spec.find(',', start);
        if (end == std::string::npos) end = spec.size();
        const std::string item = spec.substr(start, end - start);
        if (!item.empty()) {
            const std::size_t eq = item.find('=');
            if (eq == std::string::npos || eq == 0) {
                if (why) *why = "option '" + item + "' is not key=value";
                return false;
            }
            (*options)[item.substr(0, eq)] = item.substr(eq + 1);
        }
        start = end + 1;
    }
    return true;
}

}  // namespace sim
