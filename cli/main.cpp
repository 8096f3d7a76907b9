// kovalink: the reader and its cards from a terminal or a script.
#include <CLI/CLI.hpp>
#include <iostream>
#include <new>
#include <string>

#include "core/command.h"
#include "core/errors.h"
#include "core/failure_details.h"
#include "core/options.h"
#include "core/progress.h"
#include "core/targets.h"

namespace {

const char* const kDescription =
    "kovalink: operate a Kovalink smart-card reader and the card on its antenna.\n"
    "Every command takes the global options; 'kovalink COMMAND --help' explains each one.\n"
    "Numbers are decimal or hex with 0x; byte strings are hex (spaces, ':' or '-' may\n"
    "separate bytes). Without a USB reader, start 'readersim' first.";


const char* const kExamples =
    "Examples:\n"
    "  kovalink list                              readers present (hidraw and virtual)\n"
    "  kovalink info                              model, serial number, address\n"
    "  kovalink mifare dump card.mfd card.txt     whole Mifare card to a raw and a text image\n"
    "  kovalink mifare write 4 00112233445566778899AABBCCDDEEFF\n"
    "  kovalink mifare restore card.mfd           write the image back (data blocks)\n"
    "  kovalink iso15693 inventory                labels in the field\n"
    "  kovalink iso15693 read 0 8                 blocks 0-7 of the label found\n"
    "  kovalink apdu 0084000008                   an APDU to the type A CPU card\n"
    "  kovalink --trace beep                      show the frames on the wire\n";

// Prints the result; a result that cannot be printed is reported instead.
void printSafely(const kl::Output& out) {
    try {
        out.print(std::cout);
    } catch (const std::exception& e) {
        std::cerr << "kovalink: cannot print the result: " << e.what() << "\n";
    }
    std::cout.flush();
}

int report(kl::Output& out, const std::string& message, int code) {
    if (out.json()) {
        out["error"] = message;
        out["exit_code"] = code;
        // A reader's refusal names the function and its numeric status.
        if (const kl::LibraryFailure cause = kl::libraryFailureOf(message); !cause.function.empty()) {
            out["function"] = cause.function;
            out["status"] = cause.result;
        }
    }
    printSafely(out);
    std::cerr << "kovalink: " << message << "\n";
    return code;
}

bool asksForJson(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--json") return true;
    }
    return false;
}

// A command line that does not parse: help and --version print and succeed;
// anything else is a usage error, as JSON too when --json was asked for.
int usageFailure(CLI::App& app, const CLI::ParseError& e, int argc, char** argv) {
    if (e.get_exit_code() == 0 || !asksForJson(argc, argv)) {
        const int code = app.exit(e);
        return code == 0 ? kl::kExitOk : kl::kExitUsage;
    }
    kl::Output out(true);
    out["error"] = e.what();
    out["error_kind"] = e.get_name();
    return report(out, e.what(), kl::kExitUsage);
}

}  // namespace

int main(int argc, char** argv) try {
    kl::Globals globals;
    CLI::App app{kDescription, "kovalink"};
    app.fallthrough();  // global options may follow the command words
    app.require_subcommand(1);
    kl::addNumber(app, "--vid", globals.vendor_id, 0, 0xFFFF, "USB vendor id of the reader (default 0x1A86)");
    kl::addNumber(app, "--pid", globals.product_id, 0, 0xFFFF, "USB product id of the reader (default 0xE010)");
    app.add_option("--device", kl::targets().device,
                   "the reader to open when several have the same ids: its path as 'kovalink list' shows it, "
                   "or its serial number")
        ->type_name("PATH|SERIAL");
    kl::addHex(app, "-u,--uid", kl::targets().uid, 4, 10,
               "the card to work with: a type A card's UID (4, 7 or 10 bytes) or an ISO15693 label's (8 bytes, E0 "
               "first); default: the one found first, with a warning when several answer");
    kl::addNumber(app, "-a,--address", globals.address, 0, 0xFFFF, "reader address (device number, default 0)");
    app.add_flag("--trace", globals.trace,
                 "print every request frame (hex, as sent) and every reply on standard error");
    app.add_flag("--json", globals.json, "print the result as JSON");
    app.set_version_flag("--version", std::string("kovalink ") + KOVALINK_VERSION);
    bool quiet = false;
    app.add_flag("-q,--quiet", quiet, "no progress on standard error during long work");

    kl::CommandTree tree;
    tree.build(app);
    // Set after the tree is built, so the subcommands do not inherit it.
    app.footer(std::string("\n") + kExamples + "\n" + kl::exitCodeHelp() +
               "\nErrors name the library function, its status in hex and its meaning, on standard error.");
    if (argc == 1) {
        std::cout << app.help();
        return kl::kExitUsage;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return usageFailure(app, e, argc, argv);
    }

    kl::setQuiet(quiet);
    kl::Output out(globals.json);
    kl::Session reader(globals, std::cerr);
    kl::Context context{globals, reader, out};
    // Whatever the command found before a failure is still shown; with --json
    // the failure joins the result object. Nothing escapes as an abort.
    try {
        tree.selected(app)->run(context);
    } catch (const kl::Failure& failure) {
        return report(out, failure.what(), failure.code());
    } catch (const std::bad_alloc&) {
        return report(out, "out of memory", kl::kExitFailure);
    } catch (const std::exception& e) {
        return report(out, std::string("internal error: ") + e.what(), kl::kExitFailure);
    }
    printSafely(out);
    return kl::kExitOk;
} catch (...) {
    std::cerr << "kovalink: internal error\n";
    return kl::kExitFailure;
}
