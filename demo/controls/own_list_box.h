// COwnListBox: the result list of the CPU-card pages and the command-book
// dialog. It keeps the whole text of every line in its own store, draws a
// line too wide for the list as its leading part followed by " ... ",
// colours the selection, frames the focused line in red, shows the whole
// text of a clicked line in a tip (60 characters a line, kept inside the
// list) and reports a double-clicked line to its parent. Its lines are
// items of a list view, so accessibility tools read them.
#pragma once

#include <QListView>

#include "controls/list_tip.h"

class QAbstractListModel;

class COwnListBox : public QListView {
    Q_OBJECT
public:
    explicit COwnListBox(QWidget* parent = nullptr);
    ~COwnListBox() override;

    // Appends a line, deselects every other line and selects the new one,
    // scrolling it into view. Returns 1.
    int AddItem(const QString& text);
    // Empties the store and the lines together.
    void clearItems();
    const QStringList& items() const;
    int count() const { return int(items().size()); }

    // The fixed line height (18 pixels on the pages that use the list).
    void setLineHeight(int pixels);
    int lineHeight() const { return line_height_; }

    // The tip: the page creates its window, then enables tips.
    CGfxListTip& tip() { return tip_; }
    void setTipsEnabled(bool on) { tips_enabled_ = on; }
    bool tipsEnabled() const { return tips_enabled_; }
    // Both steps at once.
    void enableTips();

    // The tip for a click at `point` (viewport coordinates) on a line with
    // this text: its rectangle, moved to lie inside the viewport, and the
    // text broken after every 60 characters. An empty text gives an empty
    // rectangle.
    QRect tipRect(const QPoint& point, const QString& text, QString* broken) const;

    // The text as drawn in a line `width` pixels wide.
    static QString elided(const QString& text, const QFontMetrics& metrics, int width);

signals:
    // A double-click on a line, with the line's whole text.
    void lineDoubleClicked(const QString& text);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    class Store;
    class Delegate;

    Store* store_;
    CGfxListTip tip_;
    bool tips_enabled_ = false;
    int line_height_;
};
