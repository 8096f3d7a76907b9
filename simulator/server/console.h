// readersim's console: the commands it reads from standard input while it
// serves (place and remove cards, inject faults, ...), one line each.
#pragma once

#include <ostream>
#include <string>

#include "cards/catalog.h"
#include "server/device_server.h"

namespace sim {

extern const char* const kConsoleHelp;

// Puts a card of the catalogue ("mifare1k:uid=...") on the server's antenna.
bool placeCard(DeviceServer& server, const CardCatalog& catalog, const std::string& spec, std::string* why);
void listCards(DeviceServer& server, std::ostream& out);

// Carries out one console line; answers and errors go to `out`. Numbers are
// taken only when the whole word is one ("remove abc" is refused).
void runCommand(const std::string& line, DeviceServer& server, const CardCatalog& catalog, std::ostream& out,
                bool* quit);

}  // namespace sim
