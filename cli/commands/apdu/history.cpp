#include "history.h"

#include <cstdlib>
#include <ctime>
#include <iostream>

#include "file_io.h"

namespace kl::apdu {

std::string historyPath(const std::string& given) {
    if (!given.empty()) return given;
    if (const char* path = std::getenv("KOVALINK_HISTORY")) return path;
    if (const std::string home = common::homeFolder(); !home.empty()) return home + "/.kovalink_history";
    return {};
}

std::string maskSecrets(const Bytes& command) {
    // VERIFY (20), CHANGE REFERENCE DATA (24), RESET RETRY COUNTER (2C), the
    // processor cards' CHANGE PIN (80 5E) and WRITE KEY (80 D4) carry PINs or
    // keys after the header; their data bytes are hidden, the length kept.
    if (command.size() <= 5) return toHex(command);
    const std::uint8_t ins = command[1];
    const bool secret = ins == 0x20 || ins == 0x24 || ins == 0x2C || (command[0] == 0x80 && (ins == 0x5E || ins == 0xD4));
    if (!secret) return toHex(command);
    std::string text = toHex(command.data(), 5);
    for (std::size_t i = 5; i < command.size(); ++i) text += "**";
    return text;
}

void appendHistory(const std::string& path, const std::string& target, const Bytes& command, const Bytes& response) {
    if (path.empty()) return;
    const std::time_t now = std::time(nullptr);
    char stamp[32] = {};
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &local);
    const std::string line =
        std::string(stamp) + " " + target + " " + maskSecrets(command) + " -> " + toHex(response) + "\n";
    // Private to its owner from the start; an older file is made private too.
    std::string why;
    if (!common::appendPrivateFile(path, line, &why)) {
        std::cerr << "kovalink: warning: cannot write the history file " << path << ": " << why << "\n";
    }
}

}  // namespace kl::apdu
