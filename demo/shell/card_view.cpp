#include "shell/card_view.h"

#include <QPainter>
#include <QResizeEvent>
#include <QScreen>

#include "controls/automation.h"

// The surface under the page: bands of colour from a grey-blue at the top
// and bottom edges to white in the middle.
class BandCanvas : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter p(this);
        const int w = width();
        const int h = height();
        const int half = h / 2;
        const int n = CardView::bandCount(h);
        p.fillRect(event->rect(), Qt::white);
        for (int i = 0; i < n; ++i) {
            const QColor colour = CardView::bandColour(i, n);
            p.fillRect(0, i, w, 1, colour);
            p.fillRect(0, h - i + 1, w, 1, colour);
        }
        if (half - n > 0) p.fillRect(0, n, w, 2 * (half - n) + 3, Qt::white);
    }
};

namespace {
int wrap(int value) { return ((value % 256) + 256) % 256; }
}  // namespace

int CardView::bandCount(int height) {
    const int half = height / 2;
    return half >= 168 ? 84 : half / 2;
}

QColor CardView::bandColour(int i, int n) {
    return QColor(wrap(i - 85), wrap(67 * i / n - 68), wrap(56 * i / n - 57));
}

CardView::CardView(PageContext& context, QWidget* parent)
    : QScrollArea(parent), context_(context), canvas_(new BandCanvas) {
    setObjectName(QStringLiteral("view"));
    setFrameShape(QFrame::NoFrame);
    setWidget(canvas_);
    setWidgetResizable(false);
    createCardPage();
}

CardView::~CardView() = default;

void CardView::createCardPage() {
    page_type_ = context_.state().curCard;
    page_.reset();
    const PageRow& row = pageRow(page_type_);
    page_ = row.factory(context_);
    setAutomationId(page_.get(), row.templateId);
    page_->setParent(canvas_);
    placePage();
    page_->show();
    emit pageChanged(page_.get());
}

void CardView::placePage() {
    if (!page_) return;
    const QSize area = viewport()->size();
    const PageRow& row = pageRow(page_type_);
    if (row.placement == Placement::WholeView) {
        const QSize size = area.expandedTo(page_->minimumSizeHint());
        canvas_->resize(size);
        page_->setGeometry(QRect(QPoint(0, 0), size));
        const QScreen* screen = this->screen();
        page_->layoutForScreen(screen ? screen->geometry().width() : area.width());
    } else {
        const QSize size = page_->sizeHint().expandedTo(page_->minimumSizeHint()).expandedTo(page_->minimumSize());
        canvas_->resize(area.expandedTo(size));
        page_->setGeometry(QRect(QPoint((canvas_->width() - size.width()) / 2, (canvas_->height() - size.height()) / 2),
                                 size));
    }
}

void CardView::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    placePage();
}
