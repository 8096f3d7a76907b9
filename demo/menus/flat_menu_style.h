// The flat look of the menu bar and its pop-up menus: flat colours, a
// gutter that holds the check mark and the command's icon side by side,
// a framed highlight for the item under the mouse. A proxy of the Fusion
// style that draws only the menu elements itself.
#pragma once

#include <QProxyStyle>

class QMenuBar;

class FlatMenuStyle : public QProxyStyle {
    Q_OBJECT
public:
    FlatMenuStyle();

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;

private:
    void drawMenuItem(const QStyleOption* option, QPainter* painter, const QWidget* widget) const;
    void drawMenuBarItem(const QStyleOption* option, QPainter* painter, const QWidget* widget) const;
};

namespace menus {
// Gives the menu bar and every pop-up under it the flat look; the style
// lives as long as the bar.
void applyFlatLook(QMenuBar* bar);
}  // namespace menus
