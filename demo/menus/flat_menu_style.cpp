#include "menus/flat_menu_style.h"

#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>

namespace {

const QColor kBar(240, 242, 246);
const QColor kPanel(252, 252, 253);
const QColor kGutter(232, 237, 244);
const QColor kBorder(160, 170, 185);
const QColor kHighlight(205, 222, 244);
const QColor kHighlightBorder(54, 82, 143);
const QColor kText(30, 30, 40);
const QColor kDisabled(150, 150, 155);
const QColor kTick(54, 82, 143);

constexpr int kCheckColumn = 20;
constexpr int kIconColumn = 22;
constexpr int kGutterWidth = kCheckColumn + kIconColumn;
constexpr int kTextGap = 8;
constexpr int kItemHeight = 24;

void drawTick(QPainter* p, const QRect& box) {
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    p->setPen(QPen(kHighlightBorder, 1));
    p->setBrush(Qt::white);
    p->drawRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5));
    QPen pen(kTick, 2);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p->setPen(pen);
    QPainterPath tick;
    const QRectF r = QRectF(box).adjusted(3, 3, -3, -3);
    tick.moveTo(r.left(), r.center().y());
    tick.lineTo(r.left() + r.width() * 0.4, r.bottom());
    tick.lineTo(r.right(), r.top());
    p->drawPath(tick);
    p->restore();
}

}  // namespace

FlatMenuStyle::FlatMenuStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

int FlatMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
    switch (metric) {
    case PM_MenuPanelWidth:
        return 1;
    case PM_MenuHMargin:
        return 0;
    case PM_MenuVMargin:
        return 2;
    case PM_MenuBarPanelWidth:
    case PM_MenuBarVMargin:
        return 0;
    case PM_MenuBarItemSpacing:
        return 2;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

QSize FlatMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                      const QWidget* widget) const {
    if (type == CT_MenuItem) {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (item && item->menuItemType == QStyleOptionMenuItem::Separator) return {size.width(), 7};
        if (item) {
            QString text = item->text;
            const int tab = text.indexOf(QLatin1Char('\t'));
            const int textWidth = item->fontMetrics.horizontalAdvance(text.left(tab).remove(QLatin1Char('&')));
            const int shortcut = tab >= 0 ? item->fontMetrics.horizontalAdvance(text.mid(tab + 1)) + 24 : 0;
            return {kGutterWidth + kTextGap + textWidth + shortcut + 28, std::max(kItemHeight, size.height())};
        }
    }
    if (type == CT_MenuBarItem) {
        QSize s = QProxyStyle::sizeFromContents(type, option, size, widget);
        return {s.width() + 8, std::max(s.height(), 24)};
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

void FlatMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                  const QWidget* widget) const {
    if (element == PE_PanelMenu || element == PE_FrameMenu) {
        painter->save();
        if (element == PE_PanelMenu) painter->fillRect(option->rect, kPanel);
        painter->setPen(kBorder);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        painter->restore();
        return;
    }
    if (element == PE_PanelMenuBar) {
        painter->fillRect(option->rect, kBar);
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void FlatMenuStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                const QWidget* widget) const {
    switch (element) {
    case CE_MenuItem:
        drawMenuItem(option, painter, widget);
        return;
    case CE_MenuBarItem:
        drawMenuBarItem(option, painter, widget);
        return;
    case CE_MenuBarEmptyArea:
        painter->fillRect(option->rect, kBar);
        return;
    case CE_MenuEmptyArea:
        painter->fillRect(option->rect, kPanel);
        return;
    default:
        QProxyStyle::drawControl(element, option, painter, widget);
    }
}

void FlatMenuStyle::drawMenuItem(const QStyleOption* option, QPainter* p, const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (!item) return;
    const QRect r = item->rect;
    p->save();
    p->fillRect(r, kPanel);
    p->fillRect(QRect(r.left(), r.top(), kGutterWidth, r.height()), kGutter);

    if (item->menuItemType == QStyleOptionMenuItem::Separator) {
        p->setPen(kBorder);
        const int y = r.center().y();
        p->drawLine(r.left() + kGutterWidth + 4, y, r.right() - 4, y);
        p->restore();
        return;
    }

    const bool enabled = item->state & State_Enabled;
    const bool selected = (item->state & State_Selected) && enabled;
    if (selected) {
        p->setPen(kHighlightBorder);
        p->setBrush(kHighlight);
        p->drawRect(r.adjusted(1, 0, -2, -1));
    }

    const bool checkable = item->checkType != QStyleOptionMenuItem::NotCheckable;
    if (checkable && item->checked) {
        const QRect box(r.left() + (kCheckColumn - 14) / 2 + 2, r.top() + (r.height() - 14) / 2, 14, 14);
        drawTick(p, box);
    }
    if (!item->icon.isNull()) {
        const int size = 16;
        const QPixmap pix =
            item->icon.pixmap(QSize(size, size), p->device()->devicePixelRatio(), enabled ? QIcon::Normal : QIcon::Disabled);
        p->drawPixmap(r.left() + kCheckColumn + (kIconColumn - size) / 2, r.top() + (r.height() - size) / 2, pix);
    }

    QString text = item->text;
    QString shortcut;
    const int tab = text.indexOf(QLatin1Char('\t'));
    if (tab >= 0) {
        shortcut = text.mid(tab + 1);
        text = text.left(tab);
    }
    p->setPen(enabled ? kText : kDisabled);
    p->setFont(item->font);
    const QRect textRect = r.adjusted(kGutterWidth + kTextGap, 0, -20, 0);
    int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
    if (!proxy()->styleHint(SH_UnderlineShortcut, item, widget)) flags |= Qt::TextHideMnemonic;
    p->drawText(textRect, flags, text);
    if (!shortcut.isEmpty()) p->drawText(textRect, Qt::AlignRight | Qt::AlignVCenter, shortcut);

    if (item->menuItemType == QStyleOptionMenuItem::SubMenu) {
        QStyleOption arrow = *item;
        arrow.rect = QRect(r.right() - 16, r.top() + (r.height() - 9) / 2, 9, 9);
        QProxyStyle::drawPrimitive(PE_IndicatorArrowRight, &arrow, p, widget);
    }
    p->restore();
}

void FlatMenuStyle::drawMenuBarItem(const QStyleOption* option, QPainter* p, const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (!item) return;
    p->save();
    p->fillRect(item->rect, kBar);
    const bool enabled = item->state & State_Enabled;
    if (enabled && (item->state & (State_Selected | State_Sunken))) {
        p->setPen(kHighlightBorder);
        p->setBrush(kHighlight);
        p->drawRect(item->rect.adjusted(0, 1, -1, -2));
    }
    p->setPen(enabled ? kText : kDisabled);
    int flags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
    if (!proxy()->styleHint(SH_UnderlineShortcut, item, widget)) flags |= Qt::TextHideMnemonic;
    p->drawText(item->rect, flags, item->text);
    p->restore();
}

namespace menus {

namespace {
void applyTo(QMenu* menu, QStyle* style) {
    menu->setStyle(style);
    for (QAction* action : menu->actions())
        if (action->menu()) applyTo(action->menu(), style);
}
}  // namespace

void applyFlatLook(QMenuBar* bar) {
    auto* style = new FlatMenuStyle;
    style->setParent(bar);
    bar->setStyle(style);
    for (QAction* action : bar->actions())
        if (action->menu()) applyTo(action->menu(), style);
}

}  // namespace menus
