// readersim's console: any lines through the commands it reads from standard
// input (place, remove, fault, cards ...), against a reader that is not
// serving. "save" is left out: it writes the file it is given.
#include <cstdint>
#include <sstream>
#include <string>

#include "server/console.h"
#include "server/families.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const sim::CardCatalog catalog = sim::fullCatalog();
    sim::Reader reader;
    sim::DeviceServer server(reader, sim::fullFirmware(), sim::ServerOptions{});
    std::istringstream lines(std::string(reinterpret_cast<const char*>(data), size));
    std::ostringstream out;
    bool quit = false;
    for (std::string line; !quit && std::getline(lines, line);) {
        std::istringstream words(line);
        std::string verb;
        words >> verb;
        if (verb == "save") continue;
        sim::runCommand(line, server, catalog, out, &quit);
    }
    return 0;
}
