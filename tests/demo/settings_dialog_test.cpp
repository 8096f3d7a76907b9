// The settings dialog against the simulated reader: connecting with right
// and wrong input, product information, the reader's address, beeper,
// lamps and antenna, and what each says when the reader is not connected.
#include <QGroupBox>
#include <QRadioButton>

#include "pages/settings_dialog.h"
#include "support/torvik_session.h"

using torviktest::TorvikSession;

class SettingsDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TorvikSession> s_;
    std::unique_ptr<CDlgSetting> dialog_;

    TorvikSession& s() { return *s_; }
    void open(TorvikSession::Options options = {}) {
        s_ = std::make_unique<TorvikSession>(options);
        dialog_ = std::make_unique<CDlgSetting>(s().context(), s().window());
        dialog_->show();
        s().boxes().clear();
    }
    template <typename F>
    auto reader(F f) {
        return s().reader()->withReader(f);
    }
    std::string lastEvent() {
        return reader([](sim::Reader& r) { return r.events.empty() ? std::string() : r.events.back(); });
    }

private slots:
    void cleanup() {
        dialog_.reset();
        s_.reset();
    }

    void initialContents() {
        open();
        QCOMPARE(dialog_->windowTitle(), QStringLiteral("设置端口"));
        QCOMPARE(s().text(1051), QStringLiteral("861a"));
        QCOMPARE(s().text(1052), QStringLiteral("10e0"));
        QCOMPARE(s().text(1021), QStringLiteral("0000"));
        QCOMPARE(s().find<QLineEdit>(1021)->maxLength(), 4);
        QCOMPARE(s().find<QLineEdit>(1059)->maxLength(), 4);
        QCOMPARE(s().find<QLineEdit>(1060)->maxLength(), 2);
        QCOMPARE(s().find<QGroupBox>(1140)->title(), QStringLiteral("端口设置"));
        QCOMPARE(s().text(1053), QStringLiteral("连接"));
        QCOMPARE(s().text(1023), QStringLiteral("设备地址"));
        QCOMPARE(s().text(1), QStringLiteral("离开"));
        auto* lamps = s().find<QComboBox>(1054);
        QCOMPARE(lamps->count(), 4);
        const QStringList texts = {"熄灭黄灯", "熄灭绿灯", "点亮绿灯", "点亮黄灯"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(lamps->itemText(i), texts[i]);
            QCOMPARE(lamps->itemData(i).toInt(), i);
        }
        QCOMPARE(lamps->currentIndex(), 0);
        QVERIFY(s().find<QRadioButton>(1070)->isChecked());
        // The search test group is there but never shown.
        auto* search = dialog_->findChild<QGroupBox*>(QStringLiteral("1132"));
        QVERIFY(search);
        QCOMPARE(search->title(), QStringLiteral("寻卡测试"));
        QVERIFY(search->isHidden());
    }

    void englishCaptions() {
        open(TorvikSession::Options().english());
        QCOMPARE(dialog_->windowTitle(), QStringLiteral("Setting"));
        QCOMPARE(s().find<QGroupBox>(1099)->title(), QStringLiteral("Product Infomation"));
        QCOMPARE(s().text(1), QStringLiteral("Exit"));
        QCOMPARE(s().find<QComboBox>(1054)->itemText(3), QStringLiteral("Yellow light"));
    }

    void connectRebuildsTheTitle() {
        open();
        s().click(1053);
        QVERIFY(s().state().connected());
        QCOMPARE(s().result(), QStringLiteral("连接操作成功"));
        QCOMPARE(s().window()->windowTitle(),
                 QStringLiteral("Torvik演示软件  -    VID:6790  PID:57360  DEVICE ADDRESS:0  -  Mifare1K"));
    }

    void addressFieldIsLeastSignificantByteFirst() {
        open();
        s().setText(1021, QStringLiteral("0100"));
        s().click(1053);
        QCOMPARE(s().state().deviceAddress, 1);
        QVERIFY(s().state().connected());
        QVERIFY(s().window()->windowTitle().contains(QStringLiteral("  DEVICE ADDRESS:1  -  ")));
    }

    void addressOfOneByteIsRefusedAfterClosing() {
        open();
        QVERIFY(s().state().connected());
        s().setText(1021, QStringLiteral("01"));
        s().click(1053);
        QCOMPARE(s().boxes().count(), 1);
        QCOMPARE(s().boxes().last().caption, QStringLiteral("Error"));
        QCOMPARE(s().boxes().last().text, QStringLiteral("请输满2个字节的设备标记"));
        QCOMPARE(s().boxes().last().icon, QMessageBox::Critical);
        // Connect closed the connection first; the ids read before the
        // address stay set.
        QVERIFY(!s().state().connected());
        QCOMPARE(s().state().vid, 0x1A86);
    }

    void wrongProductIdLeavesTheProgramDisconnected() {
        open();
        s().setText(1052, QStringLiteral("11e0"));
        s().click(1053);
        QVERIFY(!s().state().connected());
        QCOMPARE(s().state().pid, 0xE011);
        QCOMPARE(s().result(), QStringLiteral("Error: 1 ,函数: 连接设备失败!"));
        QVERIFY(s().window()->command(MainWindow::kConnect)->isEnabled());
    }

    void vendorIdOfOtherLengthIsRefused() {
        open();
        s().setText(1051, QStringLiteral("861a00"));
        s().click(1053);
        QCOMPARE(s().boxes().count(), 1);
        QCOMPARE(s().boxes().last().caption, QStringLiteral("Error"));
        QCOMPARE(s().boxes().last().icon, QMessageBox::Critical);
        QVERIFY(!s().state().connected());
    }

    void productInformation() {
        open();
        s().click(1066);
        QCOMPARE(s().text(1056), QStringLiteral("4B36"));
        QCOMPARE(s().text(1057), QStringLiteral("2026120700000001"));
        QCOMPARE(s().text(1058), QStringLiteral("19.0"));
        QCOMPARE(s().result(), QStringLiteral("读取产品信息操作成功"));
    }

    void longSerialNumbersAreCutToTwentyBytes() {
        open();
        reader([](sim::Reader& r) {
            r.serial.clear();
            for (int i = 0; i < 25; ++i) r.serial.push_back(static_cast<std::uint8_t>(i));
        });
        s().click(1066);
        QCOMPARE(s().text(1057), QStringLiteral("000102030405060708090A0B0C0D0E0F10111213"));
    }

    void readerAddressReadAndWritten() {
        open();
        reader([](sim::Reader& r) { r.address = 1; });
        s().click(1063);
        QCOMPARE(s().text(1059), QStringLiteral("0100"));
        QCOMPARE(s().result(), QStringLiteral("读取设备标记操作成功"));

        s().setText(1059, QStringLiteral("0200"));
        s().click(1064);
        QCOMPARE(s().result(), QStringLiteral("写入设备标记操作成功"));
        QCOMPARE(reader([](sim::Reader& r) { return int(r.address); }), 2);
        // The program keeps its own address until it connects again.
        QCOMPARE(s().state().deviceAddress, 0);

        s().setText(1059, QStringLiteral("02"));
        s().click(1064);
        QCOMPARE(s().boxes().last().text, QStringLiteral("请输满2个字节的设备标记"));
        QCOMPARE(s().boxes().last().caption, QStringLiteral("Error"));
    }

    void beeperLampsAndAntenna() {
        open();
        s().click(1067);
        QCOMPARE(s().boxes().count(), 1);
        QCOMPARE(s().boxes().last().caption, QStringLiteral("Warning"));
        QCOMPARE(s().boxes().last().text, QStringLiteral("输入不能为空"));
        QCOMPARE(s().boxes().last().icon, QMessageBox::Warning);

        s().setText(1060, QStringLiteral("0A"));
        s().click(1067);
        QCOMPARE(s().result(), QStringLiteral("设置蜂鸣时间操作成功"));
        QCOMPARE(lastEvent(), std::string("beep 100 ms"));

        s().select(1054, 2);
        s().click(1068);
        QCOMPARE(s().result(), QStringLiteral("设置指示灯颜色操作成功"));
        QCOMPARE(lastEvent(), std::string("lamp 2"));

        s().find<QRadioButton>(1071)->setChecked(true);
        s().click(1069);
        QCOMPARE(s().result(), QStringLiteral("设置天线状态操作成功"));
        QVERIFY(!reader([](sim::Reader& r) { return r.antenna; }));
        s().find<QRadioButton>(1070)->setChecked(true);
        s().click(1069);
        QVERIFY(reader([](sim::Reader& r) { return r.antenna; }));
    }

    void notConnectedSendsNothing() {
        open();
        s().trigger(MainWindow::kDisconnect);
        s().setText(1059, QStringLiteral("0100"));
        s().setText(1060, QStringLiteral("05"));
        s().reader()->takeRequests();
        for (int button : {1066, 1063, 1064, 1067, 1068, 1069}) {
            s().window()->resultStrip()->clear();
            s().click(button);
            QCOMPARE(s().result(), QStringLiteral("Error: 设备未连接"));
        }
        QVERIFY(s().reader()->takeRequests().empty());
        QCOMPARE(s().boxes().count(), 0);
    }

    void leaveClosesTheDialog() {
        open();
        s().click(1);
        QVERIFY(!dialog_->isVisible());
        QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    }
};

TORVIK_TEST_MAIN(SettingsDialogTest)
#include "settings_dialog_test.moc"
