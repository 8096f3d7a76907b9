#include "pages/sri512_page.h"

#include <QGridLayout>

#include "controls/form.h"

namespace {
const StChipModel kSri512 = {StChip::SRI512, 16, 4, 0, 14, 2, "Lock - Reg", nullptr,
                             "rf_SRI512_getuid", "rf_SRI512_writeblock", "rf_SRI512_writelockreg"};
const TextPair kOperations = {"操作窗口", "Operation"};
const TextPair kBlockInfo = {"块信息", "Block Information"};

constexpr int kLastOtpBlock = 4;
constexpr int kLastCounterBlock = 6;

// Yellow text on the field's own background colour.
void highlight(QWidget* field, const QColor& background) {
    QPalette pal = field->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Base, background);
        pal.setColor(group, QPalette::Text, QColor(255, 255, 0));
    }
    field->setPalette(pal);
}
}  // namespace

CSRI512::CSRI512(PageContext& context) : StPage(context, kSri512) {
    for (int n = 0; n <= kLastCounterBlock; ++n)
        highlight(blockFields_[n], n <= kLastOtpBlock ? QColor(240, 0, 0) : QColor(180, 0, 180));

    CTransFrm* operations = form::frame(this, kOperationFrame, ctx.text(kOperations));
    auto* left = new QGridLayout(operations);
    left->setRowStretch(addOperationRows(left, 0), 1);
    CTransFrm* blocks = form::frame(this, kBlockFrame, ctx.text(kBlockInfo));
    auto* right = new QGridLayout(blocks);
    right->setVerticalSpacing(2);
    addBlockRows(right, 0);
    auto* page = new QGridLayout(this);
    page->addWidget(operations, 0, 0);
    page->addWidget(blocks, 0, 1);
}

TORVIK_PAGE_FACTORY(makeSRI512Page, CSRI512)
