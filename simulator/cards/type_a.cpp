#include "cards/type_a.h"

#include <algorithm>

namespace sim {

bool TypeACard::request(bool wake_up) {
    if (state_ == State::halted && !wake_up) return false;
    if (state_ == State::halted || state_ == State::idle) woken_from_halt_ = state_ == State::halted;
    state_ = State::ready;
    return true;
}

std::vector<TypeACard*> requestAll(const std::vector<TypeACard*>& candidates, bool wake_up) {
    std::vector<TypeACard*> answered;
    for (TypeACard* card : candidates) {
        if (card->request(wake_up)) answered.push_back(card);
    }
    return answered;
}

TypeACard* anticollide(const std::vector<TypeACard*>& candidates) {
    TypeACard* chosen = nullptr;
    for (TypeACard* card : candidates) {
        if (card->state() != TypeACard::State::ready) continue;
        if (chosen == nullptr || card->uid() > chosen->uid()) chosen = card;
    }
    return chosen;
}

TypeACard* selectByUid(const std::vector<TypeACard*>& candidates, const std::vector<std::uint8_t>& uid) {
    TypeACard* chosen = nullptr;
    for (TypeACard* card : candidates) {
        if (chosen == nullptr && card->state() == TypeACard::State::ready && card->uid() == uid) chosen = card;
    }
    if (chosen == nullptr) return nullptr;
    for (TypeACard* card : candidates) {
        if (card != chosen) card->deselected();
    }
    chosen->select();
    return chosen;
}

TypeACard* activeCard(const std::vector<TypeACard*>& candidates) {
    for (TypeACard* card : candidates) {
        if (card->state() == TypeACard::State::active) return card;
    }
    return nullptr;
}

}  // namespace sim
