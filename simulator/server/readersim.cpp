// readersim: serves one simulated reader as a virtual HID device, so that
// the library, the command-line tool and the test program work without
// hardware.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iostream>
#include <sstream>

#include "server/families.h"
#include "server/console.h"
#include "server/device_server.h"
#include "server/process_seam.h"
#include "server/scenario.h"
#include "cards/toolkit.h"
#include "reader_list.h"

namespace {

std::string statusTable() {
    std::string out = "Reader status codes (0 is success; 1 is never sent):\n";
    for (int s = 0; s < 256; ++s) {
        if (const char* text = sim::statusText(static_cast<std::uint8_t>(s))) {
            char line[160];
            std::snprintf(line, sizeof line, "  0x%02X  %s\n", s, text);
            out += line;
        }
    }
    return out;
}

std::string cardTypes(const sim::CardCatalog& catalog) {
    std::string out = "Card types for --card TYPE[:key=value,...]:\n";
    for (const sim::CardType& t : catalog.types()) {
        out += "  " + t.name + "  " + t.description + "\n";
        if (!t.options.empty()) out += "      " + t.options + "\n";
    }
    return out;
}

// Socket and flash file are named after the reader, inside its folder.
bool validName(const std::string& name) {
    if (name.empty() || name[0] == '.' || name.size() > 64) return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '_' || c == '.';
    });
}

}  // namespace

int main(int argc, char** argv) {
    sim::CardCatalog catalog = sim::fullCatalog();
    CLI::App app{std::string("readersim: a simulated smart-card reader served as a virtual HID device.\n"
                             "Hosts find it like a USB reader (vendor 0x1A86, product 0xE010 by default) through\n"
                             "the transport, in the virtual-device folder: ") +
                 sim::kVirtualFolderRule};
    app.footer(std::string("\n") + sim::kConsoleHelp + "\n" + sim::kFaultHelp + "\n" + statusTable() + "\n" +
               cardTypes(catalog));

    sim::ServerOptions server_options;
    server_options.dir = tavo::virtualDeviceDir();
    sim::ReaderConfig config;
    std::string model_hex, serial_hex, scenario_path, flash_path;
    std::vector<std::string> card_specs, fault_specs;
    bool verbose = false, no_flash = false, tcp = false;
    int address = -1;

    app.add_option("--dir", server_options.dir, "virtual-device folder")->capture_default_str();
    app.add_option("--name", server_options.name, "reader name in the socket file name")->capture_default_str();
    app.add_option("--vid", server_options.vendor_id, "USB vendor id")->capture_default_str();
    app.add_option("--pid", server_options.product_id, "USB product id")->capture_default_str();
    app.add_option("--address", address, "reader address (device number), default 0")->check(CLI::Range(0, 0xFFFF));
    app.add_option("--model", model_hex, "model, 2 bytes of hex (default 4B36)");
    app.add_option("--serial", serial_hex, "serial number, hex (default 2026120700000001)");
    app.add_option("--flash", flash_path, "file holding the reader's flash memory (default <dir>/<name>.flash)");
    app.add_flag("--no-flash-file", no_flash, "keep the flash memory in this process only");
    app.add_option("--scenario", scenario_path, "JSON scenario: reader settings and cards")->check(CLI::ExistingFile);
    app.add_option("--card", card_specs, "put a card on the antenna: TYPE[:key=value,...]");
    app.add_option("--fault", fault_specs, "inject a fault into the first replies (see below)");
    app.add_flag("--tcp", tcp,
                 "also serve on TCP at 127.0.0.1 for Windows hosts and wine: the port and a token that hosts "
                 "present first go into <vid>-<pid>-<name>.tcp in the folder (on Windows, the only way)");
    app.add_flag("-v,--verbose", verbose, "print every request and reply frame as annotated hex");
    CLI11_PARSE(app, argc, argv);

    std::string why;
    if (!validName(server_options.name)) {
        std::cerr << "readersim: --name takes letters, digits, '-', '_' and '.' (not first), at most 64\n";
        return 2;
    }
    sim::Scenario scenario;
    if (!scenario_path.empty()) {
        if (!sim::loadScenario(scenario_path, catalog, &scenario, &why)) {
            std::cerr << "readersim: " << why << "\n";
            return 2;
        }
        config = scenario.reader;
    }
    if (address >= 0) config.address = static_cast<std::uint16_t>(address);
    sim::Bytes bytes;
    if (!model_hex.empty()) {
        if (!sim::parseHex(model_hex, &bytes) || bytes.size() != 2) {
            std::cerr << "readersim: --model needs 2 bytes of hex\n";
            return 2;
        }
        config.model = {bytes[0], bytes[1]};
    }
    if (!serial_hex.empty() && !sim::parseHex(serial_hex, &config.serial)) {
        std::cerr << "readersim: --serial needs hex digits\n";
        return 2;
    }
    if (!flash_path.empty()) config.flash_path = flash_path;
    if (config.flash_path.empty() && !no_flash) {
        config.flash_path = server_options.dir + "/" + server_options.name + ".flash";
    }
    if (no_flash) config.flash_path.clear();

    std::vector<sim::Fault> faults;
    for (const std::string& spec : fault_specs) {
        sim::Fault fault;
        if (!sim::Fault::parse(spec, &fault, &why)) {
            std::cerr << "readersim: " << why << "\n";
            return 2;
        }
        faults.push_back(fault);
    }

    sim::prepareStopSignals();

    // The folder is checked before anything is written in it (the flash file).
    if (!sim::prepareServingFolder(server_options.dir, &why)) {
        std::cerr << "readersim: " << why << "\n";
        return 1;
    }
    sim::Reader reader(config);
    if (!reader.flash_problem.empty()) {
        std::cerr << "readersim: " << reader.flash_problem << " (or run with --no-flash-file)\n";
        return 1;
    }
    for (sim::CardPtr& card : scenario.cards) reader.field.place(card);
    sim::DeviceServer server(reader, sim::fullFirmware(), server_options);
    if (verbose) server.setTrace([](const std::string& line) { std::cout << line << std::endl; });
    for (const sim::Fault& fault : faults) server.inject(fault);
    if (!server.start(&why)) {
        std::cerr << "readersim: " << why << "\n";
        return 1;
    }
    for (const std::string& spec : card_specs) {
        if (!sim::placeCard(server, catalog, spec, &why)) {
            std::cerr << "readersim: " << why << "\n";
            return 2;
        }
    }
    std::cout << "readersim: serving " << server.socketPath() << std::endl;
    std::unique_ptr<sim::TcpAccess> tcp_access =
        sim::openTcpAccess(server, server_options, tcp, std::cout, &why);
    if (!tcp_access) {
        std::cerr << "readersim: " << why << "\n";
        return 1;
    }
    sim::listCards(server, std::cout);

    sim::runConsoleLoop([&](const std::string& line, bool* quit) {
        sim::runCommand(line, server, catalog, std::cout, quit);
    });
    tcp_access.reset();
    server.stop();
    std::cout << "readersim: stopped" << std::endl;
    return 0;
}
