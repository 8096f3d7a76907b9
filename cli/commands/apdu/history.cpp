#include "history.h"

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iostream>

namespace kl::apdu {

std::string historyPath(const std::string& given) {
    if (!given.empty()) return given;
    if (const char* path = std::getenv("KOVALINK_HISTORY")) return path;
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return std::string(home) + "/.kovalink_history";
    }
    return {};
}

void appendHistory(const std::string& path, const std::string& target, const Bytes& command, const Bytes& response) {
    if (path.empty()) return;
    const std::time_t now = std::time(nullptr);
    char stamp[32] = {};
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &local);
    std::ofstream out(path, std::ios::app);
    out << stamp << " " << target << " " << toHex(command) << " -> " << toHex(response) << "\n";
    if (!out.flush()) std::cerr << "kovalink: warning: cannot write the history file " << path << "\n";
}

}  // namespace kl::apdu
