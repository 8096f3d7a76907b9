// Atmel AT88RF020: an ISO14443 type B memory card of 32 pages of 8 bytes.
// Page 0 holds the PUPI (bytes 0-3) and 32 lock bits (bytes 4-7, least
// significant first; bit n locks page n); page 2 a 6-byte signature and a
// 16-bit counter (bytes 6-7, least significant first) that only COUNT
// changes; page 3 the password, never readable. Pages 0-2 can always be
// read; every other read, and every change, needs the password first.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "cards/type_b.h"
#include "cards/toolkit.h"

namespace sim {

class CardCatalog;

class At88rf020 : public TypeBCard {
public:
    static constexpr std::size_t kPages = 32;
    static constexpr std::size_t kPageSize = 8;
    static constexpr std::uint8_t kPasswordPage = 3;

    // `memory` holds the 256-byte image; page 0 bytes 0-3 are replaced by
    // the PUPI.
    At88rf020(std::array<std::uint8_t, 4> pupi, Bytes memory);

    std::string kind() const override { return "at88rf020"; }
    std::string describe() const override;
    void powerDown() override;
    bool saveDump(const std::string& path, std::string* why) const override;

    const Bytes& memory() const { return memory_; }
    bool unlocked() const { return unlocked_; }
    // Woken by a request (REQB/WUPB) and not deselected since.
    bool awake() const { return state_ == State::ready || state_ == State::active; }

    // Each returns a reader status.
    std::uint8_t check(const std::uint8_t* password);
    std::uint8_t read(std::uint8_t page, Bytes* out) const;
    std::uint8_t write(std::uint8_t page, const std::uint8_t* data);
    std::uint8_t lock(const std::uint8_t* bits);
    std::uint8_t count(const std::uint8_t* signature);
    void deselect();

private:
    std::uint8_t* page(std::size_t n) { return memory_.data() + n * kPageSize; }
    bool locked(std::size_t n) const;

    Bytes memory_;
    bool unlocked_ = false;
};

// Catalogue entry "at88rf020".

}  // namespace sim
