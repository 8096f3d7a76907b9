#include "cards/card.h"

namespace sim {

bool Field::remove(std::size_t index) {
    if (index >= cards_.size()) return false;
    cards_[index]->powerDown();
    cards_.erase(cards_.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

void Field::clear() {
    for (const CardPtr& card : cards_) card->powerDown();
    cards_.clear();
}

void Field::powerDown() {
    for (const CardPtr& card : cards_) card->powerDown();
}

}  // namespace sim
