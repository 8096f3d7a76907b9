// What the Ultralight-family tests share: a tag woken and selected as the
// reader does it.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "cards/ultralight.h"

namespace ultest {

const sim::Bytes kUid = {0x04, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60};

// WUPA and select.
inline void wake(sim::UltralightCard& tag) {
    ASSERT_TRUE(tag.request(true));
    tag.select();
}

inline std::unique_ptr<sim::UltralightCard> selectedTag(sim::UltralightCard::Model model) {
    auto tag = std::make_unique<sim::UltralightCard>(model, kUid);
    wake(*tag);
    return tag;
}

}  // namespace ultest
