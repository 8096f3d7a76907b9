// The simulated reader's own state and the cards on its antenna.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <typeindex>
#include <vector>

#include "cards/card.h"
#include "firmware/flash.h"

namespace sim {

struct ReaderConfig {
    std::uint16_t address = 0x0000;
    std::array<std::uint8_t, 2> model = {0x4B, 0x36};  // "K6"
    std::vector<std::uint8_t> serial = {0x20, 0x26, 0x12, 0x07, 0x00, 0x00, 0x00, 0x01};
    std::string flash_path;  // empty: flash kept in memory only
};

// Card-family letters of the select-card-type command.
enum CardFamily : std::uint8_t {
    kFamilyTypeA = 'A',
    kFamilyTypeB = 'B',
    kFamilyFelica = 'C',
    kFamilyIso15693 = '1',
    kFamilySt = 's',
    kFamilyAt88 = 'r',
};

class Reader {
public:
    explicit Reader(ReaderConfig config = {});

    std::uint16_t address = 0;
    std::array<std::uint8_t, 2> model{};
    std::vector<std::uint8_t> serial;
    bool antenna = true;
    std::uint8_t card_family = kFamilyTypeA;
    std::vector<std::uint8_t> wait_time;
    Flash flash;
    std::string flash_problem;  // why the flash file could not be used; empty when it could
    Field field;
    // What a person would see or hear: beeps, lamp colours, display text.
    std::deque<std::string> events;  // the most recent 1000

    // Cards of type T that can answer now: the antenna is on and the
    // reader's card family is `family`.
    template <typename T>
    std::vector<T*> reachable(std::uint8_t family) const {
        if (!antenna || card_family != family) return {};
        return field.all<T>();
    }

    // Reader-side state of one command family (key tables, SAM slots ...),
    // created on first use.
    template <typename T>
    T& state() {
        auto& slot = states_[std::type_index(typeid(T))];
        if (!slot) slot = std::make_shared<Holder<T>>();
        return static_cast<Holder<T>*>(slot.get())->value;
    }

    void setAntenna(bool on);
    void note(std::string event);

private:
    struct HolderBase {
        virtual ~HolderBase() = default;
    };
    template <typename T>
    struct Holder : HolderBase {
        T value{};
    };
    std::map<std::type_index, std::shared_ptr<HolderBase>> states_;
};

}  // namespace sim
