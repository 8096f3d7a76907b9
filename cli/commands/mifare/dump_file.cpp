#include "dump_file.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include "card.h"
#include "core/errors.h"

namespace kl::mifare {

namespace {
bool endsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool looksLikeText(const std::string& content) {
    return !content.empty() && content.find_first_not_of("0123456789abcdefABCDEF \t\r\n") == std::string::npos;
}
}  // namespace

DumpFormat formatOf(const std::string& path) {
    return endsWith(path, ".txt") || endsWith(path, ".eml") ? DumpFormat::text : DumpFormat::raw;
}

void saveDump(const std::string& path, const std::vector<Bytes>& blocks) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const Bytes& block : blocks) {
        if (formatOf(path) == DumpFormat::text) out << toHex(block) << "\n";
        else out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size()));
    }
    if (!out.flush()) throw Failure(kExitFailure, "cannot write " + path);
}

std::vector<Bytes> loadDump(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Failure(kExitFailure, "cannot read " + path);
    const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<Bytes> blocks;
    if (looksLikeText(content)) {
        std::istringstream lines(content);
        int number = 0;
        for (std::string line; std::getline(lines, line);) {
            ++number;
            if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
            Bytes block;
            std::string why = parseHex(line.substr(0, line.find_last_not_of(" \t\r") + 1), &block);
            if (why.empty() && block.size() != kBlockSize) why = "a block needs 16 bytes";
            if (!why.empty()) throw usageError(path + ":" + std::to_string(number) + ": " + why);
            blocks.push_back(block);
        }
    } else {
        if (content.size() % kBlockSize != 0) {
            throw usageError(path + ": " + std::to_string(content.size()) + " bytes is not a whole number of blocks");
        }
        for (std::size_t at = 0; at < content.size(); at += kBlockSize) {
            blocks.emplace_back(content.begin() + static_cast<std::ptrdiff_t>(at),
                                content.begin() + static_cast<std::ptrdiff_t>(at + kBlockSize));
        }
    }
    if (blocks.empty()) throw usageError(path + ": no blocks");
    return blocks;
}

}  // namespace kl::mifare
