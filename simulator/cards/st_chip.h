// ST short-range chips (ISO14443-2 type B, ST's own protocol): SR176,
// SRI512 and SRIX4K. A chip is initiated (it answers a chip id), selected by
// that id, operated, and released by completion, after which it keeps silent
// until the field goes down.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <string>

#include "cards/card.h"
#include "cards/toolkit.h"

namespace sim {

class CardCatalog;

enum class StType { sr176, sri512, srix4k };

class StChip : public Card {
public:
    enum class State { ready, inventory, selected, deselected, deactivated };
    static constexpr std::uint8_t kSystemBlock = 255;

    // `uid` least significant byte first (most significant D0 02). A fixed
    // `chip_id` replaces the random id an SRI512 or SRIX4K draws at each
    // initiate; the SR176 always answers the 4-bit id of its block 15.
    // `memory` holds blocks x block size bytes.
    StChip(StType type, std::array<std::uint8_t, 8> uid, Bytes memory, std::optional<std::uint8_t> chip_id);

    std::string kind() const override;
    std::string describe() const override;
    void powerDown() override { state_ = State::ready; }
    bool saveDump(const std::string& path, std::string* why) const override;

    StType type() const { return type_; }
    State state() const { return state_; }
    std::size_t blockSize() const { return type_ == StType::sr176 ? 2 : 4; }
    std::size_t blocks() const { return type_ == StType::srix4k ? 128 : 16; }
    const Bytes& memory() const { return memory_; }
    const std::array<std::uint8_t, 8>& uid() const { return uid_; }

    // Protocol. initiate() answers when the chip is ready or already in
    // inventory, with a freshly drawn id; select() with the chip's id selects
    // it, with another id deselects a selected chip.
    std::optional<std::uint8_t> initiate();
    bool select(std::uint8_t chip_id);
    void complete() { state_ = State::deactivated; }

    // Memory commands of the selected chip; each returns a reader status.
    std::uint8_t read(std::uint8_t block, Bytes* out) const;
    std::uint8_t write(std::uint8_t block, const std::uint8_t* data);
    std::uint8_t protectSr176(std::uint8_t lock_bits);                                // bit n: blocks 2n, 2n + 1
    std::uint8_t writeLockRegister(std::uint8_t value);                               // SRIX4K, active low
    std::uint8_t writeLockField(std::uint16_t value);                                 // SRI512, active low
    std::uint8_t authenticate(const std::uint8_t* challenge, Bytes* response) const;  // SRIX4K
    std::uint8_t getUid(Bytes* out) const;                                            // SRI512 and SRIX4K

    std::uint32_t lockBits() const { return locks_; }
    std::uint8_t chipId() const { return chip_id_; }

private:
    bool locked(std::size_t block) const;
    std::uint8_t currentChipId() const;

    StType type_;
    std::array<std::uint8_t, 8> uid_;
    Bytes memory_;
    std::optional<std::uint8_t> fixed_id_;
    std::uint8_t chip_id_ = 0;
    // SR176: lock byte, 1 = locked. SRI512: 16 bits, SRIX4K: 8 bits, 0 = locked.
    std::uint32_t locks_;
    // The SR176 lock byte as the chip read it at its last SELECT.
    std::uint8_t sr176_locks_ = 0;
    State state_ = State::ready;
    std::mt19937 random_;
};

// Catalogue entries "sr176", "sri512" and "srix4k".

}  // namespace sim
