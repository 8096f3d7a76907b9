// The reader's own flash memory, kept in a file so it survives restarts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

class Flash {
public:
    static constexpr std::size_t kSize = 64 * 1024;

    Flash() : bytes_(kSize, 0xFF) {}

    // Binds the memory to a file: loads it when it exists, and every write
    // is saved back. An empty path keeps the memory in this process only.
    bool attach(const std::string& path, std::string* why);

    bool read(std::size_t address, std::size_t length, std::vector<std::uint8_t>* out) const;
    bool write(std::size_t address, const std::vector<std::uint8_t>& data);
    const std::string& path() const { return path_; }

private:
    bool save() const;

    std::vector<std::uint8_t> bytes_;
    std::string path_;
};

}  // namespace sim
