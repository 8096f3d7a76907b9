#include "mifare_access.h"

namespace common::mifare {
namespace {

// Who may: none, key A, key B, either.
enum Who : std::uint8_t { N = 0, A = 1, B = 2, AB = 3 };

// Indexed by C1·4 + C2·2 + C3; columns read, write, increment, decrement.
constexpr Who kData[8][4] = {
    {AB, AB, AB, AB},  // 000
    {AB, N, N, AB},    // 001
    {AB, N, N, N},     // 010
    {B, B, N, N},      // 011
    {AB, B, N, N},     // 100
    {B, N, N, N},      // 101
    {AB, B, B, AB},    // 110
    {N, N, N, N},      // 111
};

// Columns: write key A, read access bits, write access bits, read key B,
// write key B.
constexpr Who kTrailer[8][5] = {
    {A, A, N, A, A},    // 000
    {A, A, A, A, A},    // 001
    {N, A, N, A, N},    // 010
    {B, AB, B, N, B},   // 011
    {B, AB, N, N, B},   // 100
    {N, AB, B, N, N},   // 101
    {N, AB, N, N, N},   // 110
    {N, AB, N, N, N},   // 111
};

Who dataWho(std::uint8_t condition, DataOp op) { return kData[condition & 7][static_cast<int>(op)]; }
Who trailerWho(std::uint8_t condition, TrailerOp op) { return kTrailer[condition & 7][static_cast<int>(op)]; }
bool permits(Who who, Key key) { return (who & (key == Key::A ? A : B)) != 0; }

const char* text(Who who) {
    static const char* const kText[] = {"-", "A", "B", "A|B"};
    return kText[who];
}

}  // namespace

Conditions conditionsOf(const std::uint8_t* b) {
    const unsigned c1 = b[1] >> 4, c2 = b[2] & 0x0F, c3 = b[2] >> 4;
    Conditions conditions{};
    for (unsigned g = 0; g < 4; ++g) {
        conditions[g] = static_cast<std::uint8_t>(((c1 >> g) & 1) << 2 | ((c2 >> g) & 1) << 1 | ((c3 >> g) & 1));
    }
    return conditions;
}

bool accessConsistent(const std::uint8_t* b) {
    const unsigned c1 = b[1] >> 4, c2 = b[2] & 0x0F, c3 = b[2] >> 4;
    const unsigned not_c1 = b[0] & 0x0F, not_c2 = b[0] >> 4, not_c3 = b[1] & 0x0F;
    return (c1 ^ not_c1) == 0x0F && (c2 ^ not_c2) == 0x0F && (c3 ^ not_c3) == 0x0F;
}

std::optional<Conditions> decodeAccess(const std::uint8_t* b) {
    if (!accessConsistent(b)) return std::nullopt;
    return conditionsOf(b);
}

std::array<std::uint8_t, 3> encodeAccess(const Conditions& conditions) {
    unsigned c1 = 0, c2 = 0, c3 = 0;
    for (unsigned g = 0; g < 4; ++g) {
        c1 |= ((conditions[g] >> 2) & 1u) << g;
        c2 |= ((conditions[g] >> 1) & 1u) << g;
        c3 |= (conditions[g] & 1u) << g;
    }
    return {static_cast<std::uint8_t>((~c2 & 0x0F) << 4 | (~c1 & 0x0F)),
            static_cast<std::uint8_t>(c1 << 4 | (~c3 & 0x0F)), static_cast<std::uint8_t>(c3 << 4 | c2)};
}

bool dataAllowed(std::uint8_t condition, DataOp op, Key key) { return permits(dataWho(condition, op), key); }

bool trailerAllowed(std::uint8_t condition, TrailerOp op, Key key) {
    return permits(trailerWho(condition, op), key);
}

bool keyBReadable(std::uint8_t trailer_condition) { return trailerWho(trailer_condition, TrailerOp::readKeyB) != N; }

bool accessPermanent(std::uint8_t trailer_condition) {
    return trailerWho(trailer_condition, TrailerOp::writeAccess) == N;
}

const char* whoMay(std::uint8_t condition, DataOp op) { return text(dataWho(condition, op)); }
const char* whoMay(std::uint8_t condition, TrailerOp op) { return text(trailerWho(condition, op)); }

std::string conditionText(std::uint8_t condition) {
    return {static_cast<char>('0' + ((condition >> 2) & 1)), static_cast<char>('0' + ((condition >> 1) & 1)),
            static_cast<char>('0' + (condition & 1))};
}

}  // namespace common::mifare
