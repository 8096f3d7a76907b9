// The NTag203F page: NTAG203 tags, pages 0-41, with NFC sector selection
// (ids in ultralight_family.h).
#pragma once

#include "pages/ultralight_family.h"

class NTag203F : public UltralightFamilyPage {
    Q_OBJECT
public:
    explicit NTag203F(PageContext& context);
};
