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

    enum class WriteResult { saved, out_of_range, not_saved };

    // Binds the memory to a file: loads it when it exists (it must hold
    // exactly kSize bytes), else creates it at once, and every write is saved
    // back. An empty path keeps the memory in this process only. On failure
    // `why` says what is wrong and the memory stays in this process only.
    bool attach(const std::string& path, std::string* why);

    bool read(std::size_t address, std::size_t length, std::vector<std::uint8_t>* out) const;
    // A write that cannot be saved to the file is undone in memory too.
    WriteResult write(std::size_t address, const std::vector<std::uint8_t>& data);
    const std::string& path() const { return path_; }
    // Why the last write could not be saved.
    const std::string& lastError() const { return last_error_; }

private:
    bool save(std::string* why) const;

    std::vector<std::uint8_t> bytes_;
    std::string path_;
    std::string last_error_;
};

}  // namespace sim
