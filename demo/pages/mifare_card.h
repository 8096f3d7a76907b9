// The card side shared by the Mifare Classic pages (1K and 4K): finding and
// selecting the card, the "card ready" flag, keys and authentication. Every
// operation of the pages' panels and purse goes through one MifareCard.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class CHexEdit;
class PageContext;
class QComboBox;
class QRadioButton;

class MifareCard {
public:
    // `antenna`: the antenna list (item data 0-4); `uid`: where the selected
    // card's UID is shown.
    MifareCard(PageContext& context, QComboBox* antenna, CHexEdit* uid);

    // Up to `attempts` rounds of field off, type A, field on, request,
    // anticollision and select. True when a card was selected; each failed
    // round shows its failing call in the result strip.
    bool SearchCard(int attempts);
    // Searches once when no card is ready; true when one is.
    bool ensureReady();
    bool ready() const { return m_bCardReady != 0; }

    // Runs after every successful search.
    void setOnFound(std::function<void()> onFound) { on_found_ = std::move(onFound); }

    struct Key {
        unsigned char type;  // 0x60 key A, 0x61 key B
        QByteArray bytes;
    };
    // The start of every card operation: searches when no card is ready,
    // then takes the key type from the key A radio and the 6-byte key from
    // its field. False after a failed search, or after the "Error" box with
    // entry 4 when the field does not hold exactly 6 bytes.
    bool prepare(const QRadioButton* keyA, const CHexEdit* field, Key* key);

    // Authenticates the sector of `block`; a failure is shown and forgets
    // the card.
    bool authenticate(const Key& key, int block);
    // Shows a failed library call and forgets the card: the next operation
    // searches again (the card may be gone, or idle after the failure).
    void fail(int status, const QString& label);

private:
    struct Outcome {
        int status;
        const char* label;
    };
    Outcome searchOnce(int antenna, QByteArray* uid);

    PageContext& ctx_;
    QComboBox* antenna_;
    CHexEdit* uid_;
    int m_bCardReady = 0;
    std::function<void()> on_found_;
};
