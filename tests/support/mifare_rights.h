// Who may do what under each Mifare Classic access condition, written out
// as the card's datasheet tables give them: "A|B" either key, "A" or "B"
// that key only, "-" never. Shared by the tests of the toolkit's tables and
// of the simulated card that applies them.
#pragma once

#include <cstdint>
#include <string>

namespace kvtest {

// Data blocks: read / write / increment / decrement-transfer-restore.
struct DataRights {
    std::uint8_t condition;  // C1 C2 C3 as a number
    const char *read, *write, *increment, *decrement;
};
inline const DataRights kDataRights[] = {
    {0b000, "A|B", "A|B", "A|B", "A|B"}, {0b010, "A|B", "-", "-", "-"}, {0b100, "A|B", "B", "-", "-"},
    {0b110, "A|B", "B", "B", "A|B"},     {0b001, "A|B", "-", "-", "A|B"}, {0b011, "B", "B", "-", "-"},
    {0b101, "B", "-", "-", "-"},         {0b111, "-", "-", "-", "-"},
};

// Trailers: write key A / read and write the access bits / read and write key B.
struct TrailerRights {
    std::uint8_t condition;
    const char *write_key_a, *read_access, *write_access, *read_key_b, *write_key_b;
};
inline const TrailerRights kTrailerRights[] = {
    {0b000, "A", "A", "-", "A", "A"},   {0b010, "-", "A", "-", "A", "-"},   {0b100, "B", "A|B", "-", "-", "B"},
    {0b110, "-", "A|B", "-", "-", "-"}, {0b001, "A", "A", "A", "A", "A"},   {0b011, "B", "A|B", "B", "-", "B"},
    {0b101, "-", "A|B", "B", "-", "-"}, {0b111, "-", "A|B", "-", "-", "-"},
};

// True when `who` names the key: 'A' for key A, 'B' for key B.
inline bool mayUse(const std::string& who, char key) { return who.find(key) != std::string::npos; }

}  // namespace kvtest
