// One command per source file: a class with its options and its work,
// registered with its path ("mifare read") and help text. main() builds the
// command tree from the registry; nothing else lists the commands.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "output.h"
#include "session.h"

namespace kl {

// What a running command can reach.
struct Context {
    const Globals& globals;
    Session& reader;
    Output& out;
};

class Command {
public:
    virtual ~Command() = default;
    // Declares the command's options and arguments, bound to its members.
    virtual void define(CLI::App& app) = 0;
    virtual void run(Context& context) = 0;
};

struct CommandEntry {
    std::string path;     // words from the top level down: "mifare value get"
    std::string help;
    std::function<std::unique_ptr<Command>()> make;
    std::string section = "Reader";  // heading in --help, for top-level commands
};

struct GroupEntry {
    std::string path;                  // "mifare", "mifare value"
    std::string help;
    std::vector<std::string> aliases;  // other names ("ntag" for "ul")
    std::string section = "Cards";     // heading in --help, for top-level groups
};

bool registerCommand(CommandEntry entry);
bool registerGroup(std::string path, std::string help, std::string section = "Cards",
                   std::vector<std::string> aliases = {});

// Builds the tree of subcommands under `root`; `selected` later finds the
// command the user chose.
class CommandTree {
public:
    void build(CLI::App& root);
    // The chosen command, or null when none was.
    Command* selected(const CLI::App& root) const;

private:
    std::vector<std::pair<const CLI::App*, std::unique_ptr<Command>>> commands_;
};

}  // namespace kl

#define KL_CONCAT2(a, b) a##b
#define KL_CONCAT(a, b) KL_CONCAT2(a, b)
// Registers `Class` under `path`; a top-level command may name its --help section.
#define KL_COMMAND_IN(Class, path, help, section)                                           \
    namespace {                                                                             \
    const bool KL_CONCAT(kRegistered, __COUNTER__) =                                           \
        kl::registerCommand({path, help, [] { return std::make_unique<Class>(); }, section}); \
    }
#define KL_COMMAND(Class, path, help) KL_COMMAND_IN(Class, path, help, "Reader")
