// The main window against the simulated reader: the connection at start,
// title, menus, toolbar, switching card types and remembering the choice,
// where the view puts a page, the connect and disconnect commands.
#include <QMenuBar>
#include <QPointer>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolButton>

#include "controls/own_tool_bar.h"
#include "shell/card_view.h"
#include "support/torvik_session.h"

using torviktest::TorvikSession;

namespace {

const QString kDefaultTitle =
    QStringLiteral("Torvik演示软件  -    VID:6790  PID:57360  DEVICE ADDRESS:0  -  Mifare1K");

QStringList menuTexts(const QList<QAction*>& actions) {
    QStringList texts;
    for (QAction* action : actions) texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

QMenu* popup(MainWindow* window, const QString& title) {
    for (QAction* action : window->menuBar()->actions())
        if (action->text() == title) return action->menu();
    return nullptr;
}

QToolButton* toolButton(TorvikSession& s, int id) { return s.find<QToolButton>(id); }

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startConnectsAndSaysSo() {
        TorvikSession s;
        QCOMPARE(s.boxes().count(), 1);
        QCOMPARE(s.boxes().last().caption, QStringLiteral("ConnectOK"));
        QCOMPARE(s.boxes().last().text, QStringLiteral("操作成功!"));
        QCOMPARE(s.boxes().last().icon, QMessageBox::NoIcon);
        QVERIFY(s.state().connected());
        QVERIFY(!s.window()->command(MainWindow::kConnect)->isEnabled());
        QVERIFY(s.window()->command(MainWindow::kDisconnect)->isEnabled());
    }

    void startWithoutReaderRunsDisconnected() {
        TorvikSession s(TorvikSession::Options().withoutReader());
        QCOMPARE(s.boxes().count(), 1);
        QCOMPARE(s.boxes().last().caption, QStringLiteral("Error"));
        QCOMPARE(s.boxes().last().text, QStringLiteral("连接设备失败!"));
        QCOMPARE(s.boxes().last().icon, QMessageBox::Critical);
        QVERIFY(!s.state().connected());
        QVERIFY(s.window()->command(MainWindow::kConnect)->isEnabled());
        QVERIFY(!s.window()->command(MainWindow::kDisconnect)->isEnabled());
        QVERIFY(s.window()->isVisible());
    }

    void titleCarriesTheFixedUsbIds() {
        // Stored ids never reach the connection or the title.
        torviktest::writeSettings(kMifare1K, 1234, 5678);
        TorvikSession s(TorvikSession::Options().storedCard());
        QCOMPARE(s.window()->windowTitle(), kDefaultTitle);
        QCOMPARE(s.state().vid, 0x1A86);
        QCOMPARE(s.state().pid, 0xE010);
    }

    void titleNamesOfEveryCardType_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");
        const char* const names[] = {"UltraLight", "Mifare1K", "Mifare4K", "14443A_4", "SR176",
                                     "SRI512",     "SRI4K",    "14443B_4", "AT88RF020", "I CODE",
                                     "HFTagIt",    "7816_4",   "Felica",   "NTag203F", "NTag213"};
        for (int type = 0; type < kCardTypeCount; ++type)
            QTest::newRow(names[type]) << type << QString::fromUtf8(names[type]);
    }
    void titleNamesOfEveryCardType() {
        QFETCH(int, type);
        QFETCH(QString, name);
        TorvikSession s(type);
        QVERIFY(s.window()->windowTitle().endsWith(QStringLiteral("DEVICE ADDRESS:0  -  ") + name));
    }

    void menuBarInOrder() {
        TorvikSession s;
        MainWindow* w = s.window();
        QCOMPARE(menuTexts(w->menuBar()->actions()),
                 QStringList({"文件(&F)", "ISO14443A", "ISO14443B", "ISO15693", "ISO7816-4", "ISO14443C", "设置(&P)",
                              "关于(&H)"}));
        QCOMPARE(menuTexts(popup(w, "文件(&F)")->actions()), QStringList({"退出(&X)"}));
        QCOMPARE(menuTexts(popup(w, "ISO14443A")->actions()),
                 QStringList({"UltraLight", "Mifare1K", "Mifare4K", "ISO14443A-4", "NTAG203F", "NTAG213"}));
        QCOMPARE(menuTexts(popup(w, "ISO14443B")->actions()),
                 QStringList({"SR176", "SRI512", "SRI4K", "ISO14443B-4", "AT88RF020"}));
        QCOMPARE(menuTexts(popup(w, "ISO15693")->actions()), QStringList({"I CODE", "HF Tag It"}));
        QCOMPARE(menuTexts(popup(w, "ISO7816-4")->actions()), QStringList({"ISO7816-4"}));
        QCOMPARE(menuTexts(popup(w, "ISO14443C")->actions()), QStringList({"Felica"}));
        QCOMPARE(menuTexts(popup(w, "设置(&P)")->actions()), QStringList({"端口设置", "-", "断开通讯连接", "连接通讯"}));
        QCOMPARE(menuTexts(popup(w, "关于(&H)")->actions()), QStringList({"关于 Torvik(&A)..."}));
        QCOMPARE(popup(w, "ISO14443B")->actions()[0]->objectName(), QStringLiteral("32819"));
        QCOMPARE(popup(w, "关于(&H)")->actions()[0]->objectName(), QStringLiteral("57664"));
    }

    void toolbarHasFourteenLabelledButtons() {
        TorvikSession s;
        const int ids[] = {32816, 32817, 32901, 32830, 32917, 32820, 32821,
                           32834, 32823, 32825, 32826, 32827, 32921, 32813};
        const char* const labels[] = {"UltraLight", "Mifare1K", "Mifare4K", "14443A_4", "NTag203F",
                                      "SRI512",     "SRI4K",    "14443B_4", "AT88RF020", "I CODE",
                                      "HFTagIt",    "7816_4",   "Felica",   "Setting"};
        const QList<QAction*> actions = s.window()->commandBar()->actions();
        QCOMPARE(actions.size(), 14);
        int width = -1;
        for (int i = 0; i < 14; ++i) {
            QCOMPARE(actions[i]->objectName(), QString::number(ids[i]));
            QToolButton* button = toolButton(s, ids[i]);
            QVERIFY(button);
            QCOMPARE(button->text(), QString::fromUtf8(labels[i]));
            QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
            QVERIFY(!button->icon().isNull());
            if (width < 0) width = button->width();
            QCOMPARE(button->width(), width);
        }
        QVERIFY(toolButton(s, 32817)->isChecked());
        QVERIFY(!toolButton(s, 32816)->isChecked());
        // Prompts: three card commands only.
        QCOMPARE(s.window()->command(32816)->statusTip(), QStringLiteral("UltraLight"));
        QCOMPARE(s.window()->command(32817)->statusTip(), QStringLiteral("MifareOne"));
        QCOMPARE(s.window()->command(32830)->statusTip(), QStringLiteral("ISO14443-4"));
        QCOMPARE(s.window()->command(32901)->statusTip(), QString());
    }

    void statusBarPanes() {
        TorvikSession s;
        const QList<QLabel*> labels = s.window()->statusBar()->findChildren<QLabel*>();
        QStringList texts;
        for (QLabel* label : labels) texts << label->text();
        QVERIFY(texts.contains(QStringLiteral("就绪")));
        for (const char* pane : {"CAP", "NUM", "SCRL"}) QVERIFY(texts.contains(QLatin1String(pane)));
    }

    void switchingReplacesThePage() {
        TorvikSession s;
        QPointer<CardPage> first = s.page();
        QCOMPARE(first->objectName(), QStringLiteral("130"));
        QCOMPARE(first->accessibleDescription(), QStringLiteral("id 130"));
        s.switchTo(kFelica);
        QVERIFY(!first);  // destroyed
        QCOMPARE(s.page()->objectName(), QStringLiteral("172"));
        QCOMPARE(s.state().curCard, int(kFelica));
        QVERIFY(s.window()->windowTitle().endsWith(QStringLiteral("  -  Felica")));
        QVERIFY(s.window()->command(32921)->isChecked());
        QVERIFY(!s.window()->command(32817)->isChecked());
        QVERIFY(toolButton(s, 32921)->isChecked());
        QVERIFY(!toolButton(s, 32817)->isChecked());
        // A card without a toolbar button.
        s.switchTo(kSR176);
        QCOMPARE(s.page()->objectName(), QStringLiteral("141"));
        QVERIFY(s.window()->command(32819)->isChecked());
        QVERIFY(!s.window()->command(32921)->isChecked());
        QVERIFY(!toolButton(s, 32921)->isChecked());
    }

    void choosingTheCurrentCardKeepsThePage() {
        TorvikSession s;
        QPointer<CardPage> page = s.page();
        page->setProperty("typed", QStringLiteral("A0A1A2A3A4A5"));
        s.switchTo(kMifare1K);
        QVERIFY(page);
        QCOMPARE(s.page(), page.data());
        QCOMPARE(page->property("typed").toString(), QStringLiteral("A0A1A2A3A4A5"));
        QVERIFY(s.window()->command(32817)->isChecked());
        QVERIFY(toolButton(s, 32817)->isChecked());
    }

    void togglingAButtonChoosesTheCard() {
        // As an accessibility tool does: a toggle, not a click.
        TorvikSession s;
        toolButton(s, 32921)->toggle();
        QCOMPARE(s.state().curCard, int(kFelica));
        QCOMPARE(s.page()->objectName(), QStringLiteral("172"));
        QVERIFY(!s.window()->command(32817)->isChecked());
        // The current card cannot be unchecked.
        toolButton(s, 32921)->toggle();
        QVERIFY(toolButton(s, 32921)->isChecked());
        QVERIFY(s.window()->command(32921)->isChecked());
        QCOMPARE(s.state().curCard, int(kFelica));
    }

    void cardTypeIsRememberedAcrossRuns() {
        {
            TorvikSession s;
            s.switchTo(kFelica);
        }
        TorvikSession next(TorvikSession::Options().storedCard());
        QCOMPARE(next.state().curCard, int(kFelica));
        QCOMPARE(next.page()->objectName(), QStringLiteral("172"));
        QVERIFY(next.window()->command(32921)->isChecked());
        QVERIFY(toolButton(next, 32921)->isChecked());
        QVERIFY(!next.window()->command(32817)->isChecked());
    }

    void unknownStoredCardTypeShowsMifare1K() {
        torviktest::writeSettings(99);
        TorvikSession s(TorvikSession::Options().storedCard());
        QCOMPARE(s.state().curCard, int(kMifare1K));
        QCOMPARE(s.window()->windowTitle(), kDefaultTitle);
    }

    void pagesAreCentredOrCoverTheView() {
        TorvikSession s;
        s.window()->resize(1000, 700);
        QCoreApplication::processEvents();
        const QWidget* viewport = s.window()->view()->viewport();
        const QRect page = s.page()->geometry();
        QVERIFY(qAbs(page.center().x() - viewport->width() / 2) <= 1);
        QVERIFY(qAbs(page.center().y() - viewport->height() / 2) <= 1);
        for (int type : {int(kSRI4K), int(kTagIt)}) {
            s.switchTo(type);
            QCOMPARE(s.page()->geometry(), QRect(QPoint(0, 0), viewport->size()));
        }
    }

    void disconnectAndConnectCommands() {
        TorvikSession s;
        s.trigger(MainWindow::kDisconnect);
        QVERIFY(!s.state().connected());
        QCOMPARE(s.result(), QStringLiteral("断开操作成功"));
        QVERIFY(s.window()->command(MainWindow::kConnect)->isEnabled());
        QVERIFY(!s.window()->command(MainWindow::kDisconnect)->isEnabled());
        s.trigger(MainWindow::kConnect);
        QVERIFY(s.state().connected());
        QCOMPARE(s.result(), QStringLiteral("连接操作成功"));
        QVERIFY(!s.window()->command(MainWindow::kConnect)->isEnabled());
    }

    void connectCommandWithoutReaderFails() {
        TorvikSession s(TorvikSession::Options().withoutReader());
        QSignalSpy shown(s.window()->resultStrip(), &ResultStrip::shown);
        s.trigger(MainWindow::kConnect);
        QVERIFY(!s.state().connected());
        QCOMPARE(s.result(), QStringLiteral("Error: 连接设备失败!"));
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.front().at(1).toBool(), true);  // with the error beep
    }

    void closingTheWindowClosesTheReader() {
        TorvikSession s;
        QVERIFY(s.state().connected());
        s.window()->close();
        QVERIFY(!s.state().connected());
    }

    void englishColumnOnRequest() {
        TorvikSession s(TorvikSession::Options().english());
        QCOMPARE(s.boxes().last().text, QStringLiteral("Operation Success!"));
        QCOMPARE(s.window()->menuBar()->actions().front()->text(), QStringLiteral("&File"));
        s.trigger(MainWindow::kDisconnect);
        QCOMPARE(s.result(), QStringLiteral("Disconnect operation successfully"));
    }

    void aboutBox() {
        TorvikSession s;
        QStringList seen;
        s.boxes().onNextDialog([&](QDialog* dialog) {
            seen << dialog->windowTitle();
            for (int id : {1029, 1025, 1026, 1027, 1028}) seen << dialog->findChild<QLabel*>(QString::number(id))->text();
            dialog->accept();
        });
        s.trigger(MainWindow::kAbout);
        QCOMPARE(seen.mid(0, 3), QStringList({"关于Torvik读写器演示软件", "Torvik演示软件", "Torvik_V1.4"}));
        QCOMPARE(seen.size(), 6);
    }

    void settingsCommandOpensTheDialog() {
        TorvikSession s;
        QString name;
        s.boxes().onNextDialog([&](QDialog* dialog) {
            name = dialog->objectName() + QLatin1Char(' ') + dialog->windowTitle();
            dialog->accept();
        });
        s.click(32813);  // the toolbar's last button
        QCOMPARE(name, QStringLiteral("132 设置端口"));
    }
};

TORVIK_TEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
