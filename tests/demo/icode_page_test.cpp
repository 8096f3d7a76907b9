// The I CODE page against a simulated reader holding an I-CODE SLI label.
#include "cards/iso15693_label.h"
#include "kv_commands.h"
#include "pages/icode_page.h"
#include "support/sent_commands.h"

using torviktest::TorvikSession;

namespace {

// The label's UID most significant byte first, and as the page shows it
// (least significant byte first, as the label sends it).
const char* const kUid = "E004010203040506";
const QString kUidShown = QStringLiteral("06050403020104E0");

// A memory image of 28 blocks: block b holds B0 b, b, 5A, A5 ^ b.
QByteArray labelImage() {
    QByteArray image;
    for (int b = 0; b < 28; ++b) {
        image.append(char(0xB0));
        image.append(char(b));
        image.append(char(0x5A));
        image.append(char(0xA5 ^ b));
    }
    return image;
}

sim::Iso15693Label* label(sim::Reader& r) { return r.field.all<sim::Iso15693Label>().front(); }

}  // namespace

class ICodePageTest : public QObject {
    Q_OBJECT
private slots:
    void inventoryFillsUidAndDsfid() {
        TorvikSession s(kICode, {QStringLiteral("icode:uid=%1,dsfid=5A,afi=07").arg(kUid)});
        s.setText(CICODE::kEasData, QStringLiteral("11"));
        s.click(vicinity::kInventory);
        QCOMPARE(s.text(vicinity::kUid), kUidShown);
        QCOMPARE(s.text(vicinity::kDsfid), QStringLiteral("5A"));
        QCOMPARE(s.text(vicinity::kAfi), QString());
        QCOMPARE(s.result(), QStringLiteral("操作成功!"));
    }

    void systemInformationFillsAfi() {
        TorvikSession s(kICode, {QStringLiteral("icode:uid=%1,dsfid=5A,afi=07").arg(kUid)});
        s.click(vicinity::kGetInformation);
        QCOMPARE(s.text(vicinity::kUid), kUidShown);
        QCOMPARE(s.text(vicinity::kDsfid), QStringLiteral("5A"));
        QCOMPARE(s.text(vicinity::kAfi), QStringLiteral("07"));
        QCOMPARE(s.result(), QStringLiteral("ISO15693获得系统信息成功"));
    }

    void inventoryWithoutLabelReportsTheFunction() {
        TorvikSession s(kICode, {});
        s.setText(vicinity::kUid, kUidShown);
        s.click(vicinity::kInventory);
        QCOMPARE(s.text(vicinity::kUid), QString());
        QVERIFY(s.result().startsWith(QStringLiteral("Error: ")));
        QVERIFY(s.result().endsWith(QStringLiteral(" ,函数: ISO15693_Inventory")));
    }

    void wholeLabelReadMatchesTheImage() {
        QTemporaryDir dir;
        const QByteArray image = labelImage();
        TorvikSession s(kICode, {QStringLiteral("icode:uid=%1,dump=%2").arg(kUid, torviktest::writeDump(dir, image))});
        s.click(vicinity::kInventory);
        s.click(vicinity::kBlockRead);
        QCOMPARE(s.result(), QStringLiteral("操作成功!"));
        for (int b = 0; b < CICODE::kBlocks; ++b) {
            QCOMPARE(s.text(vicinity::kBlockData + b), QString::fromLatin1(image.mid(4 * b, 4).toHex().toUpper()));
            QCOMPARE(s.text(vicinity::kBlockStatus + b), QStringLiteral("00"));
        }
    }

    void readSendsTwoPassesAndOneSecurityRequest() {
        TorvikSession s(kICode, {QStringLiteral("icode:uid=%1").arg(kUid)});
        s.click(vicinity::kInventory);
        s.setText(vicinity::kUid, kUidShown);
        s.reader()->takeRequests();
        s.click(vicinity::kBlockRead);
        const auto reads = torviktest::sentWithCode(*s.reader(), kv::cmd::ISO15693_Read);
        QCOMPARE(reads.size(), std::size_t{2});
        // flags, UID as typed, first block, count
        QCOMPARE(reads[0].payload, (sim::Bytes{0x02, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01, 0x04, 0xE0, 0, 14}));
        QCOMPARE(reads[1].payload[9], std::uint8_t{14});
        s.click(vicinity::kBlockRead);
        const auto security = torviktest::sentWithCode(*s.reader(), kv::cmd::ISO15693_Get_Block_Security);
        QCOMPARE(security.size(), std::size_t{1});
        QCOMPARE(security[0].payload[10], std::uint8_t{28});
        QCOMPARE(s.result(), QStringLiteral("操作成功!"));
    }

    void badInputAsksAndSendsNothing() {
        TorvikSession s(kICode, {QStringLiteral("icode:uid=%1").arg(kUid)});
        s.setText(vicinity::kUid, QStringLiteral("06050403020104"));  // 7 bytes
        s.reader()->takeRequests();
        s.boxes().clear();
        s.click(vicinity::kDsfidWrite);
        QCOMPARE(s.boxes().last().text, QStringLiteral("UID的值不是8个Byte"));
        QCOMPARE(s.boxes().last().caption, QStringLiteral("Error"));
        QCOMPARE(s.boxes().last().icon, QMessageBox::Critical);

        s.setText(vicinity::kUid, kUidShown);
        s.click(vicinity::kDsfidWrite);
        QCOMPARE(s.boxes().last().text, QStringLiteral("DSFID的值不能为空!"));
        s.click(vicinity::kAfiWrite);
        QCOMPARE(s.boxes().last().text, QStringLiteral("AFI的值不能为空!"));

        s.select(vicinity::kBlockList, 5);
        s.setText(vicinity::kBlockData + 5, QStringLiteral("112233"));
        s.click(vicinity::kBlockWrite);
        QCOMPARE(s.boxes().last().text, QStringLiteral("请在对应的Block处输入4 byte数据"));
        QCOMPARE(s.boxes().count(), 4);
        QVERIFY(s.reader()->takeRequests().empty());
    }

    void writesReachTheLabel() {
        TorvikSession s(kICode, {QStringLiteral("icode:uid=%1").arg(kUid)});
        s.click(vicinity::kInventory);
        s.select(vicinity::kBlockList, 27);
        s.setText(vicinity::kBlockData + 27, QStringLiteral("CAFEF00D"));
        s.click(vicinity::kBlockWrite);
        QCOMPARE(s.result(), QStringLiteral("操作成功!"));
        s.setText(vicinity::kDsfid, QStringLiteral("3C"));
        s.click(vicinity::kDsfidWrite);
        QCOMPARE(s.result(), QStringLiteral("ISO15693_Write_DSFID操作成功!"));
        s.setText(vicinity::kAfi, QStringLiteral("C3"));
        s.click(vicinity::kAfiWrite);
        QCOMPARE(s.result(), QStringLiteral("ISO15693_Write_AFI 操作成功"));
        s.reader()->withReader([](sim::Reader& r) {
            const sim::Iso15693Label* l = label(r);
            QCOMPARE(sim::Bytes(l->memory().begin() + 108, l->memory().end()), (sim::Bytes{0xCA, 0xFE, 0xF0, 0x0D}));
            QCOMPARE(l->dsfid(), std::uint8_t{0x3C});
            QCOMPARE(l->afi(), std::uint8_t{0xC3});
        });
    }

    void cancelledLocksSendNothing() {
        TorvikSession s(kICode, {QStringLiteral("icode:uid=%1").arg(kUid)});
        s.setText(vicinity::kUid, kUidShown);
        s.reader()->takeRequests();
        const struct {
            int button;
            const char* text;
        } locks[] = {
            {vicinity::kDsfidLock, "您确定要锁定DSFID吗？锁定DSFID后不能再被更改！"},
            {vicinity::kAfiLock, "您确定要锁定AFI吗？锁定AFI后不能再被更改！"},
            {vicinity::kBlockLock, "您确定要锁块吗？锁块之后该块不能再被更改！"},
            {CICODE::kLockEas, "您确定要锁定EAS吗？锁定EAS后不能再被更改！"},
        };
        for (const auto& lock : locks) {
            s.boxes().answerNext(QMessageBox::Cancel);
            s.click(lock.button);
            QCOMPARE(s.boxes().last().text, QString::fromUtf8(lock.text));
            QCOMPARE(s.boxes().last().caption, QStringLiteral("Warning"));
            QCOMPARE(s.boxes().last().icon, QMessageBox::Warning);
        }
        QVERIFY(s.reader()->takeRequests().empty());
    }

    void blockLockHoldsAcrossAFieldReset() {
        TorvikSession s(kICode, {QStringLiteral("icode:uid=%1").arg(kUid)});
        s.click(vicinity::kInventory);
        s.select(vicinity::kBlockList, 3);
        s.click(vicinity::kBlockLock);
        QCOMPARE(s.result(), QStringLiteral("操作成功!"));
        torviktest::resetField(*s.reader());
        s.click(vicinity::kInventory);
        s.click(vicinity::kBlockRead);
        QCOMPARE(s.text(vicinity::kBlockStatus + 3), QStringLiteral("01"));
        QCOMPARE(s.text(vicinity::kBlockStatus + 4), QStringLiteral("00"));
        s.setText(vicinity::kBlockData + 3, QStringLiteral("01020304"));
        s.click(vicinity::kBlockWrite);
        QVERIFY(s.result().endsWith(QStringLiteral(" ,函数: ISO15693_Write")));
        QVERIFY(s.result().startsWith(QStringLiteral("Error: ")));
        s.reader()->withReader([](sim::Reader& r) {
            QCOMPARE(label(r)->memory()[12], std::uint8_t{0});
        });
    }

    void dsfidAndAfiLocksHold() {
        TorvikSession s(kICode, {QStringLiteral("icode:uid=%1,dsfid=11,afi=22").arg(kUid)});
        s.click(vicinity::kInventory);
        s.click(vicinity::kDsfidLock);
        QCOMPARE(s.result(), QStringLiteral("ISO15693_Lock_DSFID操作成功!"));
        s.click(vicinity::kAfiLock);
        QCOMPARE(s.result(), QStringLiteral("ISO15693_Lock_AFI 操作成功"));
        torviktest::resetField(*s.reader());
        s.setText(vicinity::kDsfid, QStringLiteral("99"));
        s.click(vicinity::kDsfidWrite);
        QVERIFY(s.result().endsWith(QStringLiteral(" ,函数: ISO15693_Write_DSFID")));
        s.setText(vicinity::kAfi, QStringLiteral("99"));
        s.click(vicinity::kAfiWrite);
        QVERIFY(s.result().endsWith(QStringLiteral(" ,函数: ISO15693_Write_AFI")));
        s.click(vicinity::kGetInformation);
        QCOMPARE(s.text(vicinity::kDsfid), QStringLiteral("11"));
        QCOMPARE(s.text(vicinity::kAfi), QStringLiteral("22"));
    }

    void easAlarmAnswersOnlyWhenSet() {
        TorvikSession s(kICode, {QStringLiteral("icode:uid=%1").arg(kUid)});
        s.click(vicinity::kInventory);
        s.click(CICODE::kEasAlarm);
        QVERIFY(s.result().endsWith(QStringLiteral(" ,函数: ISO15693_EAS_Alarm")));
        QCOMPARE(s.text(CICODE::kEasData), QString());

        s.click(CICODE::kSetEas);
        QCOMPARE(s.result(), QStringLiteral("Set EAS操作成功"));
        s.click(CICODE::kEasAlarm);
        QCOMPARE(s.result(), QStringLiteral("EAS Alarm操作成功"));
        QCOMPARE(s.text(CICODE::kEasData),
                 QStringLiteral("5AA53CC30FF096695AA53CC30FF09669A55AC33CF00F6996A55AC33CF00F6996"));

        s.click(CICODE::kResetEas);
        QCOMPARE(s.result(), QStringLiteral("Reset EAS操作成功"));
        s.click(CICODE::kEasAlarm);
        QCOMPARE(s.text(CICODE::kEasData), QString());

        s.click(CICODE::kLockEas);
        QCOMPARE(s.result(), QStringLiteral("Lock EAS操作成功"));
        s.click(CICODE::kSetEas);
        QVERIFY(s.result().endsWith(QStringLiteral(" ,函数: ISO15693_SET_EAS_ICODE")));
    }

    void stayQuietSilencesInventories() {
        TorvikSession s(kICode, {QStringLiteral("icode:uid=%1").arg(kUid)});
        s.click(vicinity::kInventory);
        s.click(vicinity::kStayQuiet);
        QCOMPARE(s.result(), QStringLiteral("Stay Quiet操作成功"));
        s.click(vicinity::kInventory);
        QVERIFY(s.result().endsWith(QStringLiteral(" ,函数: ISO15693_Inventory")));
    }

    void notConnectedSendsNothing() {
        TorvikSession s(kICode, {QStringLiteral("icode:uid=%1").arg(kUid)});
        s.trigger(32814);  // disconnect
        s.boxes().clear();
        s.setText(vicinity::kUid, kUidShown);
        s.click(vicinity::kBlockRead);
        QCOMPARE(s.result(), QStringLiteral("Error: 设备未连接"));
        QCOMPARE(s.boxes().count(), 0);
    }
};

TORVIK_TEST_MAIN(ICodePageTest)
#include "icode_page_test.moc"
