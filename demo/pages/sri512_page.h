// The SRI512 page: 16 blocks of 4 bytes (0-4 resettable OTP, 5-6 count-down
// counters, shown in their own colours), the UID and the 2-byte lock field.
// Its two group frames are "操作窗口" (id 1040) and "块信息" (id 1041);
// the other control ids as in st_page.h.
#pragma once

#include "pages/st_page.h"

class CSRI512 : public StPage {
    Q_OBJECT
public:
    explicit CSRI512(PageContext& context);

    static constexpr int kOperationFrame = 1040;
    static constexpr int kBlockFrame = 1041;
};
