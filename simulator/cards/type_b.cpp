#include "cards/type_b.h"

namespace sim {

std::vector<std::uint8_t> TypeBCard::atqb() const {
    std::vector<std::uint8_t> answer{0x50};
    answer.insert(answer.end(), pupi_.begin(), pupi_.end());
    answer.insert(answer.end(), application_.begin(), application_.end());
    answer.insert(answer.end(), protocol_.begin(), protocol_.end());
    return answer;
}

bool TypeBCard::request(bool wake_up) {
    if (state_ == State::halted && !wake_up) return false;
    state_ = State::ready;
    return true;
}

bool TypeBCard::attrib(const std::array<std::uint8_t, 4>& pupi) {
    if (pupi != pupi_ || state_ == State::halted || state_ == State::idle) return false;
    state_ = State::active;
    return true;
}

bool TypeBCard::halt(const std::array<std::uint8_t, 4>& pupi) {
    if (pupi != pupi_ || state_ == State::idle) return false;
    state_ = State::halted;
    return true;
}

}  // namespace sim
