// COwnToolBar: the main window's toolbar. Each button shows its icon with
// its text label beside it, all buttons as wide as the widest label; only
// commands with a prompt show a tip.
#pragma once

#include <QHash>
#include <QToolBar>
#include <array>

class QAction;

class COwnToolBar : public QToolBar {
    Q_OBJECT
public:
    struct Button {
        int commandId;
        const char* label;
    };
    // The fourteen buttons in order, with their labels.
    static const std::array<Button, 14>& buttons();

    explicit COwnToolBar(QWidget* parent = nullptr);

    // Adds a button for every entry of the table whose command is among
    // `actions` (by command id); the button carries the command's id.
    void addCommands(const QHash<int, QAction*>& actions);
    // Gives every button its label beside its icon and the common width.
    // 1 when done, 0 when the toolbar has no buttons.
    int BuildLabelledImages();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
