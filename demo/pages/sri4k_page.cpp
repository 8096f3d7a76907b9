#include "pages/sri4k_page.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <algorithm>

#include "controls/form.h"
#include "controls/hex_text.h"
#include "pages/block_tab.h"

namespace {
const StChipModel kSrix4k = {StChip::SRIX4K, 128, 4, 0, 127, 1, "Lock - Reg", nullptr,
                             "rf_srix4k_getuid", "rf_srix4k_writeblock", "rf_srix4k_writelockreg"};
const TextPair kAuthenticateText = {"认证", "Authenticate"};
const TextPair kChallengeText = {"认证数据", "Challenge"};
const TextPair kResponseText = {"应答", "Response"};
const TextPair kChallengeLength = {"请输满6个字节的认证数据!", "Please input 6 bytes of challenge!"};
const TextPair kTabCaptions[2] = {{"First Page", "First Page"}, {"Second Page", "Second Page"}};

constexpr int kHalf = 64;
constexpr int kRows = 16;
constexpr int kColumns = 4;
constexpr int kChallengeBytes = 6;
constexpr int kLargestReply = 252;
constexpr int kEntryDone = 1;  // 操作成功!

// Pixel rules of the grid.
constexpr int kMargin = 20;
constexpr int kBottomMargin = 30;
constexpr int kRowPitch = 22;
constexpr int kRowHeight = 18;
constexpr int kLabelWidth = 54;
constexpr int kFieldInset = 56;  // a field is the column width less this
constexpr int kHeadingRise = 17;
constexpr int kTabDrop = kRows * kRowHeight + 99;
constexpr int kTabWidth = 110;
constexpr int kTabHeight = 30;
constexpr int kMinColumnWidth = 120;
constexpr int kColumnTop = 20;
constexpr int kWideScreen = 1024;
constexpr int kCentredHeight = 442;
}  // namespace

CSRI4K::CSRI4K(PageContext& context) : StPage(context, kSrix4k) {
    column_ = new QWidget(this);
    auto* grid = new QGridLayout(column_);
    grid->setContentsMargins(0, 0, 0, 0);
    int row = addOperationRows(grid, 0);
    challenge_ = form::hexEdit(column_, kChallenge, 2 * kChallengeBytes);
    response_ = form::hexEdit(column_, kResponse);
    form::fitChars(response_, 2 * kChallengeBytes);
    QPushButton* authenticate = form::button(column_, kAuthenticate, ctx.text(kAuthenticateText));
    grid->addWidget(form::label(column_, -1, ctx.text(kChallengeText)), row, 0);
    grid->addWidget(challenge_, row, 1);
    grid->addWidget(authenticate, row++, 2);
    grid->addWidget(form::label(column_, -1, ctx.text(kResponseText)), row, 0);
    grid->addWidget(response_, row++, 1, 1, 2);
    connect(authenticate, &QPushButton::clicked, this, &CSRI4K::Authenticate);
    column_->adjustSize();

    for (int n = 0; n < model_.blocks; ++n) {
        QLabel* label = blockLabels_[n];
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setAutoFillBackground(true);
        QPalette white = label->palette();
        white.setColor(QPalette::Window, Qt::white);
        label->setPalette(white);
        label->setVisible(n < kHalf);
        blockFields_[n]->setVisible(n < kHalf);
    }
    for (int c = 0; c < kColumns; ++c)
        headings_[c] = form::label(this, kFirstHeading + c, QStringLiteral("byte3...byte0"));

    auto* group = new QButtonGroup(this);
    for (int t = 0; t < 2; ++t) {
        tabs_[t] = new BlockTab(kFirstTab + t, ctx.text(kTabCaptions[t]), this);
        group->addButton(tabs_[t], t);
    }
    tabs_[0]->setChecked(true);
    // A click, or a toggle through the accessibility bus, that selects a tab.
    connect(group, &QButtonGroup::idToggled, this, [this](int tab, bool on) {
        if (on) showHalf(tab);
    });

    layoutForScreen(0);
}

QSize CSRI4K::minimumSizeHint() const {
    return {column_->width() + 3 * kMargin + 40 + kColumns * kMinColumnWidth,
            std::max(column_->height() + 2 * kColumnTop, kTabDrop + kTabHeight + kBottomMargin + 2 * kMargin)};
}

void CSRI4K::layoutForScreen(int screenWidth) {
    const int w = width();
    const int h = height();
    // The column keeps its shape; on a wide screen it is centred as a block.
    int top = kColumnTop;
    if (screenWidth >= kWideScreen) top = std::max(kColumnTop, (h - kCentredHeight) / 2);
    column_->move(kMargin, top);

    const int areaLeft = column_->x() + column_->width() + kMargin;
    const int areaRight = w - kMargin;
    const int gridTop = std::max(kHeadingRise + 4, h - kBottomMargin - kTabHeight - kTabDrop);
    const int columnWidth = std::max(kMinColumnWidth, (areaRight - areaLeft - 40) / kColumns);
    for (int k = 0; k < kHalf; ++k) {
        const int x = areaLeft + kMargin + (k / kRows) * columnWidth;
        const int y = gridTop + (k % kRows) * kRowPitch;
        for (int n : {k, k + kHalf}) {
            blockLabels_[n]->setGeometry(x, y, kLabelWidth, kRowHeight);
            blockFields_[n]->setGeometry(x + kLabelWidth + 2, y, columnWidth - kFieldInset, kRowHeight);
        }
    }
    for (int c = 0; c < kColumns; ++c) {
        const QRect first = blockFields_[c * kRows]->geometry();
        headings_[c]->setGeometry(first.x(), first.y() - kHeadingRise, first.width(), kRowHeight - 2);
    }
    for (int t = 0; t < 2; ++t)
        tabs_[t]->setGeometry(areaLeft + kMargin + t * kTabWidth, gridTop + kTabDrop, kTabWidth, kTabHeight);
}

void CSRI4K::showHalf(int half) {
    tabs_[half]->setChecked(true);
    if (half == half_) return;
    half_ = half;
    for (int n = 0; n < model_.blocks; ++n) {
        const bool shown = (n / kHalf) == half;
        blockLabels_[n]->setVisible(shown);
        blockFields_[n]->setVisible(shown);
    }
    for (BlockTab* tab : tabs_) tab->update();
}

void CSRI4K::Authenticate() {
    if (!ctx.requireConnected()) return;
    const QByteArray challenge = HexToBytes(challenge_);
    if (challenge.size() != kChallengeBytes) {
        ctx.errorBox(ctx.text(kChallengeLength));
        return;
    }
    response_->clear();
    unsigned char answer[kLargestReply] = {};
    unsigned char length = 0;
    const int status = ctx.api().rf_srix4k_authenticate(
        ctx.address(), reinterpret_cast<const unsigned char*>(challenge.constData()), answer, &length);
    if (ctx.report(status, QStringLiteral("rf_srix4k_authenticate"), kEntryDone)) BytesToHex(response_, answer, length);
}

TORVIK_PAGE_FACTORY(makeSRI4KPage, CSRI4K)
