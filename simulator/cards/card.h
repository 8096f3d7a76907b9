// What every simulated card shares: a kind, a label, and a reaction to the
// field going down.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace sim {

class Card {
public:
    virtual ~Card() = default;

    // The catalogue name of the card type ("mifare1k", "ntag213", ...).
    virtual std::string kind() const = 0;

    // The card lost power (antenna off, or removed): volatile state is lost.
    virtual void powerDown() {}

    // A one-line description for listings and traces.
    virtual std::string describe() const { return kind(); }

    // Writes the card's memory image to a file; false when the card type
    // keeps no memory image or the file cannot be written.
    virtual bool saveDump(const std::string& /*path*/, std::string* why) const {
        if (why) *why = kind() + " has no memory image to save";
        return false;
    }
};

using CardPtr = std::shared_ptr<Card>;

// The cards lying on the antenna.
class Field {
public:
    void place(CardPtr card) { cards_.push_back(std::move(card)); }
    bool remove(std::size_t index);
    void clear();
    void powerDown();
    const std::vector<CardPtr>& cards() const { return cards_; }

    // Every card of type T, in placement order.
    template <typename T>
    std::vector<T*> all() const {
        std::vector<T*> found;
        for (const CardPtr& card : cards_) {
            if (T* typed = dynamic_cast<T*>(card.get())) found.push_back(typed);
        }
        return found;
    }

private:
    std::vector<CardPtr> cards_;
};

}  // namespace sim
