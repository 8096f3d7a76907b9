#include "command.h"

#include <algorithm>
#include <map>
#include <sstream>

namespace kl {
namespace {

struct Registry {
    std::vector<CommandEntry> commands;
    std::vector<GroupEntry> groups;
};

Registry& registry() {
    static Registry r;
    return r;
}

std::vector<std::string> words(const std::string& path) {
    std::istringstream in(path);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

// The parent path ("mifare value" for "mifare value get") and the last word.
std::pair<std::string, std::string> split(const std::string& path) {
    const auto at = path.rfind(' ');
    if (at == std::string::npos) return {"", path};
    return {path.substr(0, at), path.substr(at + 1)};
}

const char* const kGlobalsNote =
    "Global options (--vid, --pid, --address, --trace, --json) may stand before or after the\n"
    "command words; exit codes are listed in 'kovalink --help'.";

}  // namespace

bool registerCommand(CommandEntry entry) {
    registry().commands.push_back(std::move(entry));
    return true;
}

bool registerGroup(std::string path, std::string help, std::string section, std::vector<std::string> aliases) {
    registry().groups.push_back({std::move(path), std::move(help), std::move(aliases), std::move(section)});
    return true;
}

void CommandTree::build(CLI::App& root) {
    Registry& r = registry();
    std::map<std::string, CLI::App*> apps = {{"", &root}};
    auto place = [&](const std::string& path, const std::string& help, const std::string& section) {
        const auto [parent, name] = split(path);
        auto found = apps.find(parent);
        if (found == apps.end()) throw std::logic_error("command '" + path + "' has no group '" + parent + "'");
        CLI::App* app = found->second->add_subcommand(name, help);
        app->group(parent.empty() ? section : "Commands");
        apps[path] = app;
        return app;
    };
    // Parents before children (fewer words first), then by name, so that
    // help lists commands and groups in one stable order.
    struct Item {
        const GroupEntry* group;
        const CommandEntry* command;
        const std::string& path() const { return group ? group->path : command->path; }
    };
    std::vector<Item> items;
    for (const GroupEntry& g : r.groups) items.push_back({&g, nullptr});
    for (const CommandEntry& c : r.commands) items.push_back({nullptr, &c});
    std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
        const auto wa = words(a.path()).size(), wb = words(b.path()).size();
        return wa != wb ? wa < wb : a.path() < b.path();
    });
    for (const Item& item : items) {
        if (const GroupEntry* g = item.group) {
            CLI::App* app = place(g->path, g->help, g->section);
            for (const std::string& alias : g->aliases) app->alias(alias);
            app->require_subcommand(1);
            continue;
        }
        const CommandEntry* c = item.command;
        CLI::App* app = place(c->path, c->help, c->section);
        std::unique_ptr<Command> command = c->make();
        command->define(*app);
        const std::string own = app->get_footer();
        app->footer((own.empty() ? "" : own + "\n") + kGlobalsNote);
        commands_.emplace_back(app, std::move(command));
    }
}

Command* CommandTree::selected(const CLI::App& root) const {
    const CLI::App* app = &root;
    while (true) {
        const auto chosen = app->get_subcommands();
        if (chosen.empty()) break;
        app = chosen.front();
    }
    for (const auto& [owner, command] : commands_) {
        if (owner == app) return command.get();
    }
    return nullptr;
}

}  // namespace kl
