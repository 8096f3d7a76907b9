// Scenario files: the reader's identity and the cards on its antenna, in
// JSON. Example:
//   { "reader": { "address": 0, "model": "4B36", "serial": "2026120700000001" },
//     "cards": [ { "type": "mifare1k", "uid": "A1B2C3D4", "dump": "card.mfd" } ] }
// Card options are the ones of the card type (see readersim --list-cards);
// relative file names are taken from the scenario's folder.
#pragma once

#include <string>
#include <vector>

#include "cards/catalog.h"
#include "firmware/reader.h"

namespace sim {

struct Scenario {
    ReaderConfig reader;
    std::vector<CardPtr> cards;
};

// Reads the scenario file `path` (a regular file of at most 1 MiB). A file
// nested deeper than 16 levels is refused before it is parsed.
bool loadScenario(const std::string& path, const CardCatalog& catalog, Scenario* out, std::string* why);

// The same for the text of a scenario; relative file names are taken from `base`.
bool parseScenario(const std::string& text, const std::string& base, const CardCatalog& catalog, Scenario* out,
                   std::string* why);

}  // namespace sim
