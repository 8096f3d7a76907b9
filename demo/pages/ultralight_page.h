// The UltraLight page: Mifare Ultralight tags, pages 0-15 (ids in
// ultralight_family.h).
#pragma once

#include "pages/ultralight_family.h"

class CUltraLight : public UltralightFamilyPage {
    Q_OBJECT
public:
    explicit CUltraLight(PageContext& context);
};
