// A tab drawn by the SRI4K page under its block grid ("First Page",
// "Second Page"): a checkable button whose look is the page's own outline
// (open towards the grid when selected, closed otherwise) and a centred
// caption. Being a button, it can be pressed through the accessibility bus.
#pragma once

#include <QAbstractButton>

class BlockTab : public QAbstractButton {
    Q_OBJECT
public:
    BlockTab(int id, const QString& caption, QWidget* parent);
    QSize sizeHint() const override { return {110, 30}; }

protected:
    void paintEvent(QPaintEvent* event) override;
};
