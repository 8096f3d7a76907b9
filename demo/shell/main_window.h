// The main window: menu bar, labelled toolbar, status bar, result strip and
// the view that hosts the page of the current card type. It opens the
// reader when created, switches card types and runs the connect,
// disconnect, settings and About commands.
#pragma once

#include <QHash>
#include <QMainWindow>
#include <memory>

#include "pages/page_context.h"

class AppConfig;
class CardView;
class COwnToolBar;
class QAction;
class QActionGroup;
class QLabel;
class ResultStrip;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Command ids of the commands that are not card commands.
    enum Command {
        kExit = 57665,
        kAbout = 57664,
        kSettings = 32813,
        kDisconnect = 32814,
        kConnect = 32815,
    };

    MainWindow(AppState& state, const ReaderApi& api, const AppConfig& config, const QString& programDir);
    ~MainWindow() override;

    // The connection tried once at start: the fixed USB ids, then
    // rf_init_com with the current address; a message box either way.
    void autoConnect();
    // A card command: switches to the page of `type` unless it is current.
    void selectCard(int type);
    // Sets the window text for `card`; with `checkCommand` also the check
    // mark of its menu item and the pressed state of its toolbar button.
    void updateTitle(int card, bool checkCommand);
    QString titleText(int card) const;

    void connectReader();     // 32815
    void disconnectReader();  // 32814
    void openSettings();      // 32813
    void about();             // 57664

    QAction* command(int id) const { return commands_.value(id); }
    CardView* view() const { return view_; }
    ResultStrip* resultStrip() const { return strip_; }
    COwnToolBar* commandBar() const { return toolbar_; }
    PageContext& context() { return *context_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* addCommand(QMenu* menu, int id, const QString& text);
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    void updateConnectionCommands();
    void updateLockIndicators();
    QString pick(const char* zh, const char* en) const;

    AppState& state_;
    const ReaderApi& api_;
    const AppConfig& config_;
    ResultStrip* strip_;
    std::unique_ptr<PageContext> context_;
    CardView* view_;
    COwnToolBar* toolbar_ = nullptr;
    QActionGroup* cards_ = nullptr;
    QHash<int, QAction*> commands_;
    QLabel* ready_ = nullptr;
    QLabel* locks_[3] = {};
};
