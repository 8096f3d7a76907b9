// The shell of the test program, started in the test process on a chosen
// card type against a simulated reader: what page tests drive. Controls are
// found by their automation id; message boxes are answered and recorded.
//
//   TorvikSession s(kMifare1K, {"mifare1k:uid=01020304"});
//   s.setText(1053, "FFFFFFFFFFFF");
//   s.click(1070);
//   QCOMPARE(s.result(), "读卡操作成功");
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QStringList>
#include <QTest>
#include <memory>

#include "controls/form.h"
#include "controls/hex_text.h"
#include "pages/page_registry.h"
#include "shell/main_window.h"
#include "shell/result_strip.h"
#include "shell/torvik_app.h"
#include "support/message_boxes.h"
#include "support/sim_server.h"

namespace torviktest {

// The folder of the built library, readersim and AppConfig.ini.
QString outDir();

// Points the settings of this process at a private folder (once per
// process, before anything reads settings); returns the settings file.
QString isolateSettings();
QString settingsFile();
// The stored values as a previous run would have left them.
void writeSettings(int curCard, int vid = 0, int pid = 0);
void removeSettings();

// A simulated reader served in this process with the given cards.
class SimReader {
public:
    explicit SimReader(const QStringList& cards = {}, const sim::ReaderConfig& config = {});
    ~SimReader();

    // Places a card of the catalogue ("mifare1k:uid=..."); false with the reason.
    bool place(const QString& spec, QString* why = nullptr);
    template <typename F>
    auto withReader(F f) {
        return server_.server->withReader(f);
    }
    std::vector<sim::Bytes> takeRequests() { return server_.takeRequests(); }
    sim::DeviceServer& server() { return *server_.server; }
    bool running() const { return started_; }

private:
    kvtest::SimServer server_;
    bool started_ = false;
};

class TorvikSession {
public:
    struct Options {
        int cardType = kMifare1K;  // stored as "CurCard" before the start; -1 keeps what is stored
        QStringList cards;         // cards on the simulated reader's antenna
        bool reader = true;        // false: no reader at all (the connection fails)
        int language = 0;          // 0 Chinese, 1 English
        bool show = true;

        Options& card(int type) { cardType = type; return *this; }
        Options& storedCard() { cardType = -1; return *this; }
        Options& withCards(const QStringList& specs) { cards = specs; return *this; }
        Options& withoutReader() { reader = false; return *this; }
        Options& english() { language = 1; return *this; }
    };

    TorvikSession();
    // The main window on this card type, the reader holding these cards.
    explicit TorvikSession(int cardType, const QStringList& cards = {});
    explicit TorvikSession(Options options);
    ~TorvikSession();

    TorvikApp& app() { return *app_; }
    MainWindow* window() const { return app_->mainWindow(); }
    AppState& state() { return app_->state(); }
    PageContext& context() { return window()->context(); }
    CardPage* page() const;
    SimReader* reader() { return reader_.get(); }
    MessageBoxes& boxes() { return *boxes_; }
    // The result strip's text.
    QString result() const;

    // The control with this id in an open dialog, else in the main window. A
    // dialog comes first: it is what the tester works in, and its ids may
    // repeat ids of the page under it (a dialog is also the main window's child).
    template <typename T = QWidget>
    T* find(int id) const {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top != window() && top->isVisible())
                if (T* found = top->findChild<T*>(QString::number(id))) return found;
        return window()->findChild<T*>(QString::number(id));
    }

    // Clicks the button with this id (fails the test when there is none).
    void click(int id);
    // Runs a menu or toolbar command.
    void trigger(int commandId);
    // Switches to a card type through its command.
    void switchTo(int cardType);
    // Sets or reads the text of a field, label or list.
    void setText(int id, const QString& text);
    QString text(int id) const;
    // Selects the entry of a drop-down list that carries this item data.
    void select(int id, int itemData);

private:
    Options options_;
    std::unique_ptr<MessageBoxes> boxes_;
    std::unique_ptr<SimReader> reader_;
    std::unique_ptr<TorvikApp> app_;
};

}  // namespace torviktest

// main() of a Torvik test: offscreen platform unless another is chosen,
// settings in a private folder, then the Qt Test run of `TestClass`.
#define TORVIK_TEST_MAIN(TestClass)                                   \
    int main(int argc, char** argv) {                                 \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))           \
            qputenv("QT_QPA_PLATFORM", "offscreen");                  \
        torviktest::isolateSettings();                                \
        QApplication app(argc, argv);                                 \
        TestClass test;                                               \
        return QTest::qExec(&test, argc, argv);                       \
    }
