#include "controls/trans_frame.h"

#include <QEvent>
#include <QPainter>

CTransFrm::CTransFrm(const QString& caption, QWidget* parent) : QWidget(parent) {
    setCaption(caption);
}

void CTransFrm::setCaption(const QString& caption) {
    caption_ = caption;
    setAccessibleName(caption);
    updateMargins();
    update();
}

void CTransFrm::setCaptionColor(const QColor& colour) {
    caption_color_ = colour;
    update();
}

void CTransFrm::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) updateMargins();
    QWidget::changeEvent(event);
}

void CTransFrm::updateMargins() {
    const int h = fontMetrics().height();
    setContentsMargins(8, h + 4, 8, 8);
}

void CTransFrm::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QFontMetrics fm = fontMetrics();
    const int captionWidth = fm.horizontalAdvance(caption_);
    const int captionHeight = fm.height();
    const int left = 0;
    const int top = captionHeight / 2;
    const int right = width() - 1;
    const int bottom = height() - 1;
    // The caption stands two average characters in from the left edge.
    const int average = caption_.isEmpty() ? 0 : captionWidth / int(caption_.size());
    const int captionX = left + 2 * average;
    const int captionY = top - captionHeight / 2;
    const int gapEnd = captionX + captionWidth + 2;

    const auto etch = [&](const QColor& colour, int inset) {
        p.setPen(QPen(colour, 1));
        const int l = left + inset, t = top + inset, r = right - 1 + inset, b = bottom - 1 + inset;
        const QPoint outline[] = {{gapEnd, t}, {r, t}, {r, b}, {l, b}, {l, t}, {captionX - 2, t}};
        p.drawPolyline(outline, 6);
        if (caption_.isEmpty()) p.drawLine(captionX - 2, t, gapEnd, t);
    };
    etch(QColor(128, 128, 128), 0);
    etch(QColor(255, 255, 255), 1);

    p.setPen(caption_color_);
    p.drawText(QRect(captionX, captionY, captionWidth + 1, captionHeight), Qt::AlignLeft | Qt::AlignVCenter,
               caption_);
}

QColor pageTextColour() { return {41, 101, 132}; }

void applyPageColours(QWidget* page) {
    QPalette pal = page->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::WindowText, pageTextColour());
        pal.setColor(group, QPalette::ButtonText, pageTextColour());
    }
    page->setPalette(pal);
}
