#include "pages/block_tab.h"

#include <QPainter>

#include "controls/automation.h"

BlockTab::BlockTab(int id, const QString& caption, QWidget* parent) : QAbstractButton(parent) {
    setAutomationId(this, id);
    setText(caption);
    setCheckable(true);
    setFocusPolicy(Qt::NoFocus);
}

void BlockTab::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // Pen colour merged with the inverse of what lies beneath.
    p.setCompositionMode(QPainter::RasterOp_SourceOrNotDestination);
    const int r = width() - 1;
    const int b = height() - 1;
    const auto outline = [&](const QColor& colour, int inset) {
        p.setPen(QPen(colour, 1));
        const int left = inset, right = r - inset, bottom = b - inset;
        if (isChecked()) {
            // Open at the top, towards the grid.
            const QPoint open[] = {{left, 0}, {left, bottom}, {right, bottom}, {right, 0}};
            p.drawPolyline(open, 4);
        } else {
            p.drawRect(QRect(QPoint(left, inset), QPoint(right, bottom)));
        }
    };
    outline(QColor(128, 128, 128), 0);
    outline(QColor(255, 255, 90), 1);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setPen(palette().color(QPalette::ButtonText));
    p.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text());
}
