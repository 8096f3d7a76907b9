#include "server/console.h"

#include <charconv>
#include <optional>
#include <sstream>

#include "cards/toolkit.h"

namespace sim {

const char* const kConsoleHelp =
    "Commands read from standard input while running:\n"
    "  place SPEC        put a card on the antenna (SPEC as for --card)\n"
    "  remove N          take card N off the antenna\n"
    "  cards             list the cards on the antenna\n"
    "  save N FILE       write card N's memory to a dump file\n"
    "  fault SPEC        inject a fault (see below)\n"
    "  unplug            disconnect the host (it may open the reader again)\n"
    "  events            show beeps, lamp and display changes so far\n"
    "  quit              stop\n";

namespace {

// A card number as typed on the console: decimal digits only, nothing after.
std::optional<std::size_t> cardIndex(const std::string& text) {
    std::size_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

}  // namespace

bool placeCard(DeviceServer& server, const CardCatalog& catalog, const std::string& spec,
               std::string* why) {
    std::string type;
    CardOptions options;
    if (!parseCardSpec(spec, &type, &options, why)) return false;
    CardPtr card = catalog.make(type, options, why);
    if (!card) return false;
    server.withReader([&](Reader& r) { r.field.place(card); });
    return true;
}

void listCards(DeviceServer& server, std::ostream& out) {
    server.withReader([&out](Reader& r) {
        const auto& cards = r.field.cards();
        if (cards.empty()) out << "no cards on the antenna\n";
        for (std::size_t i = 0; i < cards.size(); ++i) out << i << ": " << cards[i]->describe() << "\n";
    });
}

void runCommand(const std::string& line, DeviceServer& server, const CardCatalog& catalog, std::ostream& out,
                bool* quit) {
    std::istringstream in(line);
    std::string verb, arg, arg2;
    in >> verb >> arg >> arg2;
    std::string why;
    if (verb.empty()) return;
    if (verb == "quit" || verb == "exit") {
        *quit = true;
    } else if (verb == "place") {
        if (placeCard(server, catalog, arg, &why)) listCards(server, out);
        else out << "error: " << why << "\n";
    } else if (verb == "remove") {
        const std::optional<std::size_t> index = cardIndex(arg);
        const bool done = index && server.withReader([&](Reader& r) { return r.field.remove(*index); });
        out << (!index ? "error: remove takes a card number (see 'cards')\n"
                      : done ? "removed\n"
                             : "error: no such card\n");
    } else if (verb == "cards") {
        listCards(server, out);
    } else if (verb == "save") {
        const std::optional<std::size_t> index = cardIndex(arg);
        const bool done = server.withReader([&](Reader& r) {
            if (!index || arg2.empty()) {
                why = "save takes a card number and a file name";
                return false;
            }
            if (*index >= r.field.cards().size()) {
                why = "no such card";
                return false;
            }
            return r.field.cards()[*index]->saveDump(arg2, &why);
        });
        out << (done ? "saved " + arg2 + "\n" : "error: " + why + "\n");
    } else if (verb == "fault") {
        Fault fault;
        if (Fault::parse(arg, &fault, &why)) server.inject(fault);
        else out << "error: " << why << "\n";
    } else if (verb == "unplug") {
        server.unplug();
    } else if (verb == "events") {
        server.withReader([&out](Reader& r) {
            for (const std::string& e : r.events) out << e << "\n";
        });
    } else {
        out << "unknown command '" << verb << "'\n" << kConsoleHelp;
    }
    out.flush();
}

}  // namespace sim
