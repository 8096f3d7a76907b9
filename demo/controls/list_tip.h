// CGfxListTip: the borderless pop-up that shows the whole text of a clicked
// result line. It stays up while the mouse stays over it; moving away, a
// key or a click elsewhere hides it and hands the event on to the window
// beneath (the owning list when that is the tip itself).
#pragma once

#include <QPointer>
#include <QWidget>

class CGfxListTip : public QWidget {
    Q_OBJECT
public:
    CGfxListTip();
    ~CGfxListTip() override;

    // Makes the tip window for this owner (a COwnListBox).
    bool Create(QWidget* owner);
    bool created() const { return owner_ != nullptr; }
    QWidget* owner() const { return owner_; }

    // rect: in the owner's client (viewport) coordinates; text: lines
    // separated by '\n'. Does nothing when the tip is not created, the
    // rectangle or text is empty, the tip is already up, or no window has
    // the keyboard focus.
    void Show(const QRect& rect, const QString& text);
    void dismiss();

    // While the mouse stays inside (tip coordinates), the tip stays up.
    const QRect& hoverRect() const { return hover_rect_; }
    const QString& text() const { return text_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The window under a screen point, the owner standing in for the tip.
    QWidget* targetAt(const QPoint& global) const;

    QPointer<QWidget> owner_;
    QRect hover_rect_;
    QString text_;
};
