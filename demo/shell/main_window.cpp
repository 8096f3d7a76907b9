#include "shell/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include "controls/automation.h"
#include "controls/icons.h"
#include "controls/own_tool_bar.h"
#include "menus/flat_menu_style.h"
#include "pages/settings_dialog.h"
#include "shell/about_dialog.h"
#include "shell/app_config.h"
#include "shell/card_view.h"
#include "shell/lock_keys.h"
#include "shell/message_box.h"
#include "shell/result_strip.h"

MainWindow::MainWindow(AppState& state, const ReaderApi& api, const AppConfig& config, const QString& programDir)
    : QMainWindow(nullptr,
                  Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                      Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      state_(state),
      api_(api),
      config_(config),
      strip_(new ResultStrip(state.language)) {
    setObjectName(QStringLiteral("mainframe"));
    setWindowIcon(icons::application());
    context_ = std::make_unique<PageContext>(api_, state_, *strip_, this, programDir,
                                             [this] { updateTitle(state_.curCard, false); });

    // The strip sits at the right under the toolbar; the view below it
    // hosts the page (and creates the page of the current card type now).
    auto* central = new QWidget(this);
    auto* stripRow = new QWidget(central);
    stripRow->setAutoFillBackground(true);
    auto* stripLayout = new QHBoxLayout(stripRow);
    stripLayout->setContentsMargins(0, 1, 0, 1);
    stripLayout->addStretch();
    strip_->setParent(stripRow);
    stripLayout->addWidget(strip_);
    view_ = new CardView(*context_, central);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(stripRow);
    column->addWidget(view_, 1);
    setCentralWidget(central);

    buildMenus();
    buildToolBar();
    buildStatusBar();
    updateTitle(state_.curCard, true);
    connect(&state_, &AppState::connectedChanged, this, &MainWindow::updateConnectionCommands);
    updateConnectionCommands();
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
    // The view's page uses the context: it goes first.
    delete takeCentralWidget();
}

QString MainWindow::pick(const char* zh, const char* en) const { return TextPair{zh, en}.pick(state_.language); }

QAction* MainWindow::addCommand(QMenu* menu, int id, const QString& text) {
    QAction* action = menu->addAction(text);
    setActionId(action, id);
    commands_.insert(id, action);
    return action;
}

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(pick("文件(&F)", "&File"));
    connect(addCommand(file, kExit, pick("退出(&X)", "E&xit")), &QAction::triggered, this, &QWidget::close);

    // One pop-up per protocol, in the order the card table names them.
    cards_ = new QActionGroup(this);
    cards_->setExclusive(true);
    QHash<QString, QMenu*> groups;
    for (const PageRow& row : pageRows()) {
        const QString group = QString::fromUtf8(row.menuGroup);
        QMenu*& menu = groups[group];
        if (!menu) menu = bar->addMenu(group);
        QAction* action = addCommand(menu, row.commandId, QString::fromUtf8(row.caption));
        action->setCheckable(true);
        action->setIcon(icons::command(row.commandId));
        action->setIconVisibleInMenu(true);
        if (row.prompt) {
            action->setStatusTip(QString::fromUtf8(row.prompt));
            action->setToolTip(QString::fromUtf8(row.prompt));
        }
        cards_->addAction(action);
        // Checking the item or its button by any means (a click, a key,
        // an accessibility tool's toggle) chooses the card; the current
        // card cannot be unchecked.
        const int type = row.cardType;
        connect(action, &QAction::toggled, this, [this, type, action](bool on) {
            if (on)
                selectCard(type);
            else if (state_.curCard == type)
                action->setChecked(true);
        });
    }

    QMenu* settings = bar->addMenu(pick("设置(&P)", "&Setting"));
    QAction* port = addCommand(settings, kSettings, pick("端口设置", "Port Setting"));
    port->setIcon(icons::command(kSettings));
    connect(port, &QAction::triggered, this, &MainWindow::openSettings);
    settings->addSeparator();
    connect(addCommand(settings, kDisconnect, pick("断开通讯连接", "Disconnect")), &QAction::triggered, this,
            &MainWindow::disconnectReader);
    connect(addCommand(settings, kConnect, pick("连接通讯", "Connect")), &QAction::triggered, this,
            &MainWindow::connectReader);

    QMenu* help = bar->addMenu(pick("关于(&H)", "&Help"));
    connect(addCommand(help, kAbout, pick("关于 Torvik(&A)...", "&About Torvik...")), &QAction::triggered, this,
            &MainWindow::about);

    menus::applyFlatLook(bar);
}

void MainWindow::buildToolBar() {
    toolbar_ = new COwnToolBar(this);
    toolbar_->setWindowTitle(QStringLiteral("Toolbar"));
    toolbar_->setFloatable(true);
    toolbar_->setMovable(true);
    toolbar_->addCommands(commands_);
    toolbar_->BuildLabelledImages();
    addToolBar(Qt::TopToolBarArea, toolbar_);
}

void MainWindow::buildStatusBar() {
    QStatusBar* bar = statusBar();
    ready_ = new QLabel(pick("就绪", "Ready"), bar);
    bar->addWidget(ready_, 1);
    const char* const names[] = {"CAP", "NUM", "SCRL"};
    for (int i = 0; i < 3; ++i) {
        locks_[i] = new QLabel(QString::fromLatin1(names[i]), bar);
        locks_[i]->setObjectName(QString::fromLatin1(names[i]));
        locks_[i]->setFrameShape(QFrame::Panel);
        locks_[i]->setFrameShadow(QFrame::Sunken);
        locks_[i]->setAlignment(Qt::AlignCenter);
        locks_[i]->setMinimumWidth(locks_[i]->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 12);
        bar->addPermanentWidget(locks_[i]);
    }
    updateLockIndicators();
}

void MainWindow::updateLockIndicators() {
    const std::optional<LockKeys> keys = queryLockKeys();
    const bool on[3] = {keys && keys->caps, keys && keys->num, keys && keys->scroll};
    for (int i = 0; i < 3; ++i) locks_[i]->setEnabled(on[i]);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock) updateLockIndicators();
    } else if (event->type() == QEvent::ApplicationActivate) {
        updateLockIndicators();
    } else if (watched == this && event->type() == QEvent::Show) {
        // The title once more when the window first shows: by now it holds
        // the USB ids the window set when it was created.
        updateTitle(state_.curCard, false);
    }
    return QMainWindow::eventFilter(watched, event);
}

QString MainWindow::titleText(int card) const {
    return config_.info(AppConfig::SoftwareName) + QStringLiteral("  -  ") +
           QStringLiteral("  VID:%1").arg(state_.vid) + QStringLiteral("  PID:%1").arg(state_.pid) +
           QStringLiteral("  DEVICE ADDRESS:%1").arg(state_.deviceAddress) + QStringLiteral("  -  ") +
           QString::fromUtf8(pageRow(card).titleName);
}

void MainWindow::updateTitle(int card, bool checkCommand) {
    setWindowTitle(titleText(card));
    if (!checkCommand) return;
    if (QAction* action = command(pageRow(card).commandId)) action->setChecked(true);
}

void MainWindow::selectCard(int type) {
    if (!isCardType(type)) return;
    if (state_.curCard == type) return;
    const int previous = state_.curCard;
    state_.curCard = type;
    if (QAction* old = command(pageRow(previous).commandId)) old->setChecked(false);
    updateTitle(type, true);
    view_->createCardPage();
}

void MainWindow::autoConnect() {
    state_.vid = AppState::kDefaultVid;
    state_.pid = AppState::kDefaultPid;
    if (api_.rf_init_com(state_.deviceAddress, state_.vid, state_.pid) != 0) {
        api_.rf_ClosePort();
        state_.setConnected(false);
        boxes::show(this, MessageTable::text(0, state_.language), QStringLiteral("Error"), QMessageBox::Critical);
        return;
    }
    state_.setConnected(true);
    boxes::show(this, MessageTable::text(1, state_.language), QStringLiteral("ConnectOK"), QMessageBox::NoIcon);
}

void MainWindow::connectReader() {
    if (api_.rf_init_com(0, state_.vid, state_.pid) != 0) {
        api_.rf_ClosePort();
        state_.setConnected(false);
        context_->showErrorEntry(0);
        return;
    }
    state_.setConnected(true);
    context_->showInfoEntry(29);
}

void MainWindow::disconnectReader() {
    api_.rf_ClosePort();
    state_.setConnected(false);
    context_->showInfoEntry(37);
}

void MainWindow::updateConnectionCommands() {
    command(kConnect)->setEnabled(!state_.connected());
    command(kDisconnect)->setEnabled(state_.connected());
}

void MainWindow::openSettings() {
    CDlgSetting dialog(*context_, this);
    dialog.exec();
}

void MainWindow::about() {
    CAboutDlg dialog(config_, this);
    dialog.exec();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (state_.connected()) {
        api_.rf_ClosePort();
        state_.setConnected(false);
    }
    QMainWindow::closeEvent(event);
}
