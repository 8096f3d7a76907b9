// CISO14443B_4: the page of contactless ISO14443-4 type B processor cards:
// reset (request, ATQB and ATTRIB), send APDUs or raw blocks, read the UID
// of an identity card, and the page's command book.
#pragma once

#include "pages/iso14443_page.h"

class CISO14443B_4 : public Iso14443Page {
    Q_OBJECT
public:
    explicit CISO14443B_4(PageContext& context);

private:
    void Reset();
    void ReadIdCardUid();
    // Up to three requests for an answer of exactly `size` bytes; false
    // after showing the last failure under `label`.
    bool request(int size, const QString& label,
                 const std::function<int(unsigned char*, unsigned char*)>& call, QByteArray* answer);
};
