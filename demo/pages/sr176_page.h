// The SR176 page: 16 blocks of 2 bytes; blocks 4-14 can be written (0-3
// hold the UID, 15 the chip id and the lock bits), and the protection byte
// locks pairs of blocks. Control ids as in st_page.h.
#pragma once

#include "pages/st_page.h"

class CSR176 : public StPage {
    Q_OBJECT
public:
    explicit CSR176(PageContext& context);
};
