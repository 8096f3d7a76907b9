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
    // A request (rf_atqb or rf_get_namecard_uid) with its mode, buffer and length.
    using Request = std::function<int(unsigned char mode, unsigned char* bytes, unsigned char* length)>;
    // Connection check, both fields emptied, the field switched to type B,
    // then up to three requests for an answer of exactly `size` bytes;
    // false after showing the failure (the last one under `label`).
    bool request(int size, const QString& label, const Request& call, QByteArray* answer);
};
