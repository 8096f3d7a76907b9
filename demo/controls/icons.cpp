#include "controls/icons.h"

#include <QPainter>
#include <QPainterPath>

namespace icons {
namespace {

constexpr int kIconSize = 15;

struct CardLook {
    int commandId;
    QRgb colour;   // the card body, by protocol family
    char mark;     // what the card carries
};

// 'c' chip contacts, 'w' radio waves, 'b' blocks, 's' settings.
const CardLook kLooks[] = {
    {32816, qRgb(52, 120, 196), 'w'},  {32817, qRgb(52, 120, 196), 'b'}, {32901, qRgb(30, 84, 160), 'b'},
    {32830, qRgb(52, 120, 196), 'c'},  {32917, qRgb(70, 150, 210), 'w'}, {32918, qRgb(70, 150, 210), 'w'},
    {32819, qRgb(46, 150, 90), 'b'},   {32820, qRgb(46, 150, 90), 'b'},  {32821, qRgb(30, 120, 70), 'b'},
    {32834, qRgb(46, 150, 90), 'c'},   {32823, qRgb(110, 150, 50), 'w'}, {32825, qRgb(220, 130, 30), 'w'},
    {32826, qRgb(200, 100, 20), 'w'},  {32827, qRgb(140, 70, 160), 'c'}, {32921, qRgb(200, 50, 60), 'w'},
    {32813, qRgb(100, 100, 110), 's'},
};

void paintCard(QPainter& p, const CardLook& look, qreal s) {
    p.setRenderHint(QPainter::Antialiasing);
    const QColor body(look.colour);
    if (look.mark == 's') {
        // A gear: a ring with six teeth.
        p.setPen(Qt::NoPen);
        p.setBrush(body);
        p.translate(s / 2, s / 2);
        for (int i = 0; i < 6; ++i) {
            p.drawRect(QRectF(-s * 0.09, -s * 0.48, s * 0.18, s * 0.3));
            p.rotate(60);
        }
        p.drawEllipse(QPointF(0, 0), s * 0.32, s * 0.32);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(0, 0), s * 0.13, s * 0.13);
        return;
    }
    const QRectF card(s * 0.03, s * 0.17, s * 0.94, s * 0.66);
    p.setPen(QPen(body.darker(140), s / 15.0));
    p.setBrush(body);
    p.drawRoundedRect(card, s * 0.1, s * 0.1);
    p.setPen(Qt::NoPen);
    switch (look.mark) {
    case 'c':
        p.setBrush(QColor(236, 200, 80));
        p.drawRoundedRect(QRectF(s * 0.15, s * 0.33, s * 0.3, s * 0.3), s * 0.05, s * 0.05);
        break;
    case 'b':
        p.setBrush(Qt::white);
        for (int i = 0; i < 3; ++i) p.drawRect(QRectF(s * (0.14 + 0.26 * i), s * 0.55, s * 0.2, s * 0.14));
        break;
    default: {
        QPen wave(Qt::white, s / 12.0);
        wave.setCapStyle(Qt::RoundCap);
        p.setPen(wave);
        p.setBrush(Qt::NoBrush);
        for (int i = 1; i <= 3; ++i) {
            const qreal r = s * 0.12 * i;
            p.drawArc(QRectF(s * 0.22 - r, s * 0.5 - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
        }
    }
    }
}

QPixmap paintAt(const CardLook& look, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    paintCard(p, look, size);
    return pixmap;
}

}  // namespace

QIcon command(int commandId) {
    for (const CardLook& look : kLooks) {
        if (look.commandId != commandId) continue;
        QIcon icon;
        icon.addPixmap(paintAt(look, kIconSize));
        icon.addPixmap(paintAt(look, 2 * kIconSize));
        return icon;
    }
    return {};
}

QPixmap resultMark(bool error, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(error ? QColor(204, 40, 40) : QColor(40, 150, 60));
    const qreal s = size;
    p.drawEllipse(QRectF(s * 0.05, s * 0.05, s * 0.9, s * 0.9));
    QPen pen(Qt::white, s / 8.0);
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    if (error) {
        p.drawLine(QPointF(s * 0.33, s * 0.33), QPointF(s * 0.67, s * 0.67));
        p.drawLine(QPointF(s * 0.67, s * 0.33), QPointF(s * 0.33, s * 0.67));
    } else {
        QPainterPath tick;
        tick.moveTo(s * 0.28, s * 0.52);
        tick.lineTo(s * 0.44, s * 0.68);
        tick.lineTo(s * 0.73, s * 0.34);
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
    }
    return pixmap;
}

QPixmap aboutPicture() {
    QPixmap pixmap(65, 50);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // A reader with a card above its antenna.
    p.setPen(QPen(QColor(60, 60, 70), 1.5));
    p.setBrush(QColor(90, 96, 110));
    p.drawRoundedRect(QRectF(6, 28, 53, 18), 4, 4);
    p.setBrush(QColor(120, 220, 120));
    p.drawEllipse(QRectF(48, 33, 6, 6));
    p.setBrush(QColor(52, 120, 196));
    p.setPen(QPen(QColor(30, 70, 130), 1.2));
    p.drawRoundedRect(QRectF(14, 6, 34, 20), 3, 3);
    p.setBrush(QColor(236, 200, 80));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(18, 11, 9, 8), 1.5, 1.5);
    return pixmap;
}

QIcon application() {
    QIcon icon;
    for (int size : {16, 32, 48}) icon.addPixmap(paintAt(kLooks[1], size));
    return icon;
}

}  // namespace icons
