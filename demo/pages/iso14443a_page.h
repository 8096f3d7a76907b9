// CISO14443A_4: the page of contactless ISO14443-4 type A processor cards
// (FM1204, FM1208, Mifare DESFire, Mifare Pro(X) ...): reset (activate) the
// card, send APDUs, review and resend them from the page's command book.
#pragma once

#include "pages/iso14443_page.h"

class CISO14443A_4 : public Iso14443Page {
    Q_OBJECT
public:
    explicit CISO14443A_4(PageContext& context);

    // How many leading bytes of a type A reset answer are the UID: 7 or 10
    // when the ATS length byte that would follow such a UID matches the
    // rest of the answer, else 4 (the whole answer when shorter).
    static int uidLength(const QByteArray& answer);

private:
    void Reset();
};
