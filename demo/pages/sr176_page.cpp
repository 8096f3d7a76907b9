#include "pages/sr176_page.h"

#include <QGridLayout>

namespace {
const StChipModel kSr176 = {StChip::SR176, 16, 2, 4, 14, 1, "Lock_REG", "byte1-byte0",
                            nullptr, "rf_sr176_writeblock", "rf_sr176_protectblock"};
}  // namespace

CSR176::CSR176(PageContext& context) : StPage(context, kSr176) {
    auto* operations = new QGridLayout;
    const int end = addOperationRows(operations, 0);
    operations->setRowStretch(end, 1);
    auto* blocks = new QGridLayout;
    blocks->setVerticalSpacing(2);
    addBlockRows(blocks, 0);
    auto* page = new QGridLayout(this);
    page->setHorizontalSpacing(24);
    page->addLayout(operations, 0, 0);
    page->addLayout(blocks, 0, 1);
}

TORVIK_PAGE_FACTORY(makeSR176Page, CSR176)
