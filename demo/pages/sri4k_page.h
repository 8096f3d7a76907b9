// The SRIX4K page, laid over the whole view: the operation column on the
// left (chip id, UID, authentication, selection, block address, lock) and a
// grid of the 128 blocks in two halves of 64, one shown at a time, chosen by
// the tabs "First Page" and "Second Page" under the grid.
//
// Control ids besides those of st_page.h: 1030 challenge field, 1031 "认证",
// 1032 response field; 6000-6003 the column headings; 6010 and 6011 the
// tabs.
#pragma once

#include <array>

#include "pages/st_page.h"

class BlockTab;

class CSRI4K : public StPage {
    Q_OBJECT
public:
    explicit CSRI4K(PageContext& context);

    static constexpr int kChallenge = 1030;
    static constexpr int kAuthenticate = 1031;
    static constexpr int kResponse = 1032;
    static constexpr int kFirstHeading = 6000;
    static constexpr int kFirstTab = 6010;

    // Places the grid in the page as sized by the view and, on a screen at
    // least 1024 pixels wide, centres the operation column vertically.
    void layoutForScreen(int screenWidth) override;
    // Smaller views scroll rather than overlap the grid and the column.
    QSize minimumSizeHint() const override;

    // "认证": the challenge goes to the chip, its answer to the response field.
    void Authenticate();
    // Shows half 0 (blocks 0-63) or 1 (64-127).
    void showHalf(int half);
    int currentHalf() const { return half_; }

private:
    QWidget* column_;
    CHexEdit* challenge_;
    CHexEdit* response_;
    std::array<QLabel*, 4> headings_{};
    std::array<BlockTab*, 2> tabs_{};
    int half_ = 0;
};
