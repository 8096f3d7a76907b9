// The result strip's texts and marks, the view's background bands, and the
// automation ids seen through the accessibility interfaces.
#include <QAccessible>
#include <QMenu>
#include <QSignalSpy>
#include <QToolButton>

#include "controls/automation.h"
#include "shell/card_view.h"
#include "support/torvik_session.h"

using torviktest::TorvikSession;

class ResultStripTest : public QObject {
    Q_OBJECT

private slots:
    void resultTexts_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("text");
        QTest::newRow("success") << 0 << QString() << 0 << "操作成功";
        QTest::newRow("success with label") << 0 << "rf_beep" << 0 << " 操作成功 ,函数: rf_beep";
        QTest::newRow("failure") << 0x1f << "rf_M1_read" << 0 << "Error: 1f ,函数: rf_M1_read";
        QTest::newRow("failure without label") << 1 << QString() << 0 << "Error: 1";
        QTest::newRow("status 255") << 255 << "连接设备失败!" << 0 << "Error: ff ,函数: 连接设备失败!";
        QTest::newRow("english success") << 0 << "rf_light" << 1 << " Operation success ,Function: rf_light";
        QTest::newRow("english plain") << 0 << QString() << 1 << "Operation success";
    }
    void resultTexts() {
        QFETCH(int, status);
        QFETCH(QString, label);
        QFETCH(int, language);
        QTEST(ResultStrip::resultText(status, label, language), "text");
    }

    void tipSaysWhatAReaderStatusMeans() {
        QCOMPARE(ResultStrip::statusMeaning(0x10), QStringLiteral("10: authentication failed"));
        QCOMPARE(ResultStrip::statusMeaning(0x0A), QStringLiteral("a: no card answered"));
        QCOMPARE(ResultStrip::statusMeaning(0), QString());
        QCOMPARE(ResultStrip::statusMeaning(1), QString());  // the library's own failure
        ResultStrip strip(0);
        strip.showResult(0x10, QStringLiteral("rf_M1_authentication2"));
        QCOMPARE(strip.toolTip(), QStringLiteral("Error: 10 ,函数: rf_M1_authentication2\n10: authentication failed"));
        strip.showInfo(QStringLiteral("读卡操作成功"));
        QCOMPARE(strip.toolTip(), QStringLiteral("读卡操作成功"));
    }

    void errorsBeepAndTheTextStays() {
        ResultStrip strip(0);
        strip.resize(300, 20);
        strip.show();
        QSignalSpy shown(&strip, &ResultStrip::shown);
        strip.showError(QStringLiteral("设备未连接"));
        QCOMPARE(strip.text(), QStringLiteral("Error: 设备未连接"));
        QVERIFY(strip.showsError());
        strip.showInfo(QStringLiteral("连接操作成功"));
        QVERIFY(!strip.showsError());
        strip.showResult(3, QStringLiteral("rf_request"));
        QCOMPARE(shown.size(), 3);
        QCOMPARE(shown[0].at(1).toBool(), true);
        QCOMPARE(shown[1].at(1).toBool(), false);
        QCOMPARE(shown[2].at(1).toBool(), true);
        // A repaint of the window does not take the result away.
        strip.repaint();
        QCoreApplication::processEvents();
        QCOMPARE(strip.text(), QStringLiteral("Error: 3 ,函数: rf_request"));
        QCOMPARE(strip.palette().color(QPalette::WindowText), QColor(0, 0, 255));
    }

    void stripIsFoundByItsDescription() {
        TorvikSession s;
        ResultStrip* strip = s.window()->resultStrip();
        QCOMPARE(strip->accessibleDescription(), QStringLiteral("result"));
        QVERIFY(strip->accessibleName().isEmpty());
        s.trigger(MainWindow::kDisconnect);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(strip);
        QCOMPARE(iface->text(QAccessible::Description), QStringLiteral("result"));
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("断开操作成功"));
    }

    void bandsRunFromGreyBlueToWhite() {
        QCOMPARE(CardView::bandCount(800), 84);
        QCOMPARE(CardView::bandCount(336), 84);
        QCOMPARE(CardView::bandCount(300), 75);
        QCOMPARE(CardView::bandColour(0, 84), QColor(171, 188, 199));
        QCOMPARE(CardView::bandColour(83, 84), QColor(254, 254, 254));
        QCOMPARE(CardView::bandColour(42, 84), QColor(213, 221, 227));
    }

    void bandsArePainted() {
        TorvikSession s;
        s.window()->resize(900, 700);
        QCoreApplication::processEvents();
        QWidget* canvas = s.window()->view()->widget();
        const QImage image = canvas->grab().toImage();
        QCOMPARE(image.pixelColor(3, 0), QColor(171, 188, 199));
        QCOMPARE(image.pixelColor(3, 1), CardView::bandColour(1, 84));
        QCOMPARE(image.pixelColor(3, image.height() / 2), QColor(Qt::white));
        QCOMPARE(image.pixelColor(3, image.height() - 1), CardView::bandColour(2, 84));
    }

    void menuItemsAndButtonsCarryTheirIds() {
        TorvikSession s;
        for (int id : {32816, 32817, 32819, 32918, 32813, 32814, 32815, 57664, 57665}) {
            QAction* action = s.window()->command(id);
            QVERIFY(action);
            QAccessibleInterface* item = QAccessible::queryAccessibleInterface(action);
            QVERIFY2(item, qPrintable(QString::number(id)));
            QCOMPARE(item->role(), QAccessible::MenuItem);
            QCOMPARE(item->text(QAccessible::Description), QStringLiteral("id %1").arg(id));
            QCOMPARE(item->text(QAccessible::Name), action->text().remove(QLatin1Char('&')));
        }
        QAccessibleInterface* mifare = QAccessible::queryAccessibleInterface(s.window()->command(32817));
        QVERIFY(mifare->state().checkable);
        QVERIFY(mifare->state().checked);
        QVERIFY(!QAccessible::queryAccessibleInterface(s.window()->command(32816))->state().checked);
        QVERIFY(QAccessible::queryAccessibleInterface(s.window()->command(MainWindow::kConnect))->state().disabled);
        // The menu lists the same interfaces as its children.
        QMenu* menu = qobject_cast<QMenu*>(s.window()->command(32817)->associatedObjects().front());
        QVERIFY(menu);
        QAccessibleInterface* menuIface = QAccessible::queryAccessibleInterface(menu);
        QCOMPARE(menuIface->child(1)->text(QAccessible::Description), QStringLiteral("id 32817"));
        // Its press action runs the command (queued).
        QAccessibleInterface* felica = QAccessible::queryAccessibleInterface(s.window()->command(32921));
        felica->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE(s.state().curCard, int(kFelica));
        // Toolbar buttons are widgets of their own.
        auto* button = s.find<QToolButton>(32921);
        QCOMPARE(QAccessible::queryAccessibleInterface(button)->text(QAccessible::Description),
                 QStringLiteral("id 32921"));
    }

    void controlsOfTheSettingsDialogCarryTheirIds() {
        TorvikSession s;
        QStringList missing;
        s.boxes().onNextDialog([&](QDialog* dialog) {
            for (int id : {1051, 1052, 1021, 1053, 1056, 1057, 1058, 1066, 1059, 1063, 1064, 1060, 1067, 1054,
                           1068, 1070, 1071, 1069, 1, 1140, 1099, 1103, 1105, 1106, 1107, 1097, 1098, 1023, 1100,
                           1101, 1102, 1104, 1132, 1122, 1123, 1124, 1125, 1126, 1127}) {
                QWidget* w = dialog->findChild<QWidget*>(QString::number(id));
                if (!w || w->accessibleDescription() != QStringLiteral("id %1").arg(id))
                    missing << QString::number(id);
            }
            dialog->accept();
        });
        s.trigger(MainWindow::kSettings);
        QCOMPARE(missing, QStringList());
    }
};

TORVIK_TEST_MAIN(ResultStripTest)
#include "result_strip_test.moc"
