#include "pages/tagit_page.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "controls/form.h"
#include "pages/icode_page.h"

namespace {

const TextPair kStayQuietCaption{"Stay Quiet", "Stay Quiet"};
const TextPair kBlockHeadingText{"BLOCK", "BLOCK"};
const TextPair kStatusHeadingText{"STATUS", "STATUS"};

constexpr int kColumnLeft = 10;
constexpr int kColumnTop = 30;
constexpr int kRowPitch = 22;
constexpr int kFieldHeight = 18;
// Below this a block's data field could not show its 8 digits.
constexpr int kNarrowestColumn = 64;

}  // namespace

CHFTagIt::CHFTagIt(PageContext& context) : VicinityPage(context, kBlocks) {
    column.stayQuiet->setText(ctx.text(kStayQuietCaption));
    // Grid fields take typed hex letters as they come (no upper-case style).
    // Their sizes are set by the grid layout alone.
    for (auto* fields : {&data_, &status_}) {
        for (CHexEdit* field : *fields) {
            field->setUpperCase(false);
            field->setMinimumWidth(0);
        }
    }

    column_ = new QWidget(this);
    auto* left = new QGridLayout(column_);
    left->setContentsMargins(0, 0, 0, 0);
    addLabelRows(left);
    left->addWidget(column.blockCaption, 4, 0);
    left->addWidget(blockList_, 4, 1);
    left->addWidget(column.blockRead, 5, 1);
    left->addWidget(column.blockWrite, 5, 2);
    left->addWidget(column.blockLock, 5, 3);
    left->addWidget(column.stayQuiet, 6, 1);
    left->addWidget(column.resetToReady, 6, 2, 1, 2);
    column_->move(kColumnLeft, kColumnTop);
    column_->adjustSize();
    uid_->installEventFilter(this);

    const int columns = kBlocks / kRows;
    for (int m = 0; m < columns; ++m) {
        block_headings_.push_back(form::label(this, kBlockHeading + m, ctx.text(kBlockHeadingText)));
        status_headings_.push_back(form::label(this, kStatusHeading + m, ctx.text(kStatusHeadingText)));
    }
    setMinimumSize(column_->width() + kColumnLeft + 10 + 168 + columns * kNarrowestColumn,
                   kColumnTop + kRows * kRowPitch + 20);
}

unsigned char CHFTagIt::writeFlags() const {
    return not_nxp_label ? vicinity::kFlagsNotNxp : vicinity::kFlagsHighRate;
}

QString CHFTagIt::initFailure(bool information) const {
    return information ? QStringLiteral("rf_init_type") : VicinityPage::initFailure(false);
}

int CHFTagIt::blocksToRead() const { return not_nxp_label ? kBlocks : CICODE::kBlocks; }

void CHFTagIt::layoutForScreen(int screenWidth) {
    screen_width_ = screenWidth;
    placeGrid();
}

// The column's layout settles its controls only once the page is shown (its
// style and fonts applied): the grid follows the UID field wherever it goes.
bool CHFTagIt::eventFilter(QObject* watched, QEvent* event) {
    if (watched == uid_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) placeGrid();
    return CardPage::eventFilter(watched, event);
}

void CHFTagIt::placeGrid() {
    if (data_.empty() || screen_width_ < 0 || placing_) return;
    placing_ = true;
    column_->adjustSize();
    const int screenWidth = screen_width_;
    // On wide screens the column moves down towards the middle of the view,
    // every control keeping its place within it.
    int top = kColumnTop;
    if (screenWidth >= 1024) top = std::max(kColumnTop, (height() - 60 - column_->height()) / 2);
    top = std::min(top, std::max(kColumnTop, height() - kRows * kRowPitch));
    column_->move(kColumnLeft, top);

    const QRect uid(uid_->mapTo(this, QPoint(0, 0)), uid_->size());
    const int x0 = uid.right() + 1 + 10;
    const int y0 = uid.top();
    const int e = std::max(kNarrowestColumn, (width() - x0 - 168) / 4);
    for (int m = 0; m < static_cast<int>(block_headings_.size()); ++m) {
        const int x = x0 + m * (e + 42);
        status_headings_[m]->setGeometry(x + e, y0 - 20, 43, 18);
        block_headings_[m]->setGeometry(m == 0 ? x0 : x + 10, y0 - 20, 40, 18);
    }
    for (int k = 0; k < kBlocks; ++k) {
        const int x = x0 + (k / kRows) * (e + 42);
        const int y = y0 + kRowPitch * (k % kRows);
        numbers_[k]->setGeometry(x, y, 20, kFieldHeight);
        data_[k]->setGeometry(x + 20, y, e, kFieldHeight);
        status_[k]->setGeometry(x + e + 22, y, 20, kFieldHeight);
    }
    placing_ = false;
}

TORVIK_PAGE_FACTORY(makeTagItPage, CHFTagIt)
