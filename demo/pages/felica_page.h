// The FeliCa page: the card's 6-byte identifier. Control ids: 1002 "UID"
// field, 1010 "寻卡".
#pragma once

#include "pages/card_page.h"

class CHexEdit;

class CFelica : public CardPage {
    Q_OBJECT
public:
    explicit CFelica(PageContext& context);

    static constexpr int kUid = 1002;
    static constexpr int kRequest = 1010;

    // "寻卡": the reader in FeliCa mode, then up to three UID attempts.
    void RequestCard();

private:
    CHexEdit* uid_;
};
