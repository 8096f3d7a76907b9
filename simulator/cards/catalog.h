// The card types a scenario or a tester can place on the antenna, each made
// from a few named options ("uid=04A1B2C3", "dump=card.mfd"). Each card
// family registers its types (see card_types.h).
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "cards/card.h"

namespace sim {

using CardOptions = std::map<std::string, std::string>;

struct CardType {
    std::string name;         // "mifare1k"
    std::string description;  // "Mifare Classic 1K"
    std::string options;      // help text of the options it takes
    std::function<CardPtr(const CardOptions&, std::string* why)> make;
};

class CardCatalog {
public:
    void registerType(CardType type);
    // Null with a reason for an unknown type or bad options.
    CardPtr make(const std::string& name, const CardOptions& options, std::string* why) const;
    const std::vector<CardType>& types() const { return types_; }

private:
    std::vector<CardType> types_;
};

// "type:key=value,key=value" into its parts.
bool parseCardSpec(const std::string& spec, std::string* name, CardOptions* options, std::string* why);

}  // namespace sim
