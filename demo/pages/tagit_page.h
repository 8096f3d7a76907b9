// The Tag-it page: Tag-it labels (up to 64 blocks of 4 bytes), laid over the
// whole view: the shared column on the left, the 64-block grid in four
// columns of 16 to its right, placed by layoutForScreen(). Labels of other
// makers than NXP get the inventory flag in their write and lock requests
// and the 64-block read; an NXP label found by an inventory gets the I CODE
// scheme (28 blocks).
//
// Automation ids: the shared column (vicinity_page.h); block i: data
// 5000 + i, status 5200 + i, number 5500 + i; headings "BLOCK" 5600 + m and
// "STATUS" 5610 + m of grid column m.
#pragma once

#include "pages/vicinity_page.h"

class CHFTagIt : public VicinityPage {
    Q_OBJECT
public:
    enum Id { kBlockHeading = 5600, kStatusHeading = 5610 };
    static constexpr int kBlocks = 64;
    static constexpr int kRows = 16;

    explicit CHFTagIt(PageContext& context);

    void layoutForScreen(int screenWidth) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    unsigned char writeFlags() const override;
    QString initFailure(bool information) const override;
    int blocksToRead() const override;

private:
    // Places the column and the grid for the screen width last told.
    void placeGrid();

    int screen_width_ = -1;
    bool placing_ = false;
    QWidget* column_;
    std::vector<QLabel*> block_headings_;
    std::vector<QLabel*> status_headings_;
};
