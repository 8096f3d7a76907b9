// The contact-card page against simulated SAMs and a contact CPU card:
// resets (plain, by SAM number, with PPS), APDUs (a status word other than
// 9000 included), empty slots, the large contact slot's power, presence
// and VG-short checks, the 5-byte and PPS rules, the connection rule, the
// page's command book, and DES / triple DES against published vectors.
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>

#include "cards/sam.h"
#include "cos_page_support.h"

using costest::lines;
using torviktest::TorvikSession;

namespace {
const QString kBook = QStringLiteral("SamCosBooks.j");
// The simulated modules' default answers to reset: 3B 18 13 "KOVASAM1" / "KOVACPU1".
const QString kSamAtr = QStringLiteral("3B18134B4F564153414D31");
const QString kContactAtr = QStringLiteral("3B18134B4F5641435055" "31");
}  // namespace

class Iso7816PageTest : public QObject {
    Q_OBJECT

    costest::PageSession page_{kIso7816, kBook, 1063, {QStringLiteral("sam:slot=1")}};
    TorvikSession& s() { return page_.s(); }
    std::string lastEvent() {
        return s().reader()->withReader(
            [](sim::Reader& r) { return r.events.empty() ? std::string() : r.events.back(); });
    }
    void des(const QString& key1, const QString& key2, const QString& data, int button) {
        s().setText(1056, key1);
        s().setText(1057, key2);
        s().setText(1058, data);
        s().setText(1059, QString());
        s().click(button);
    }
    void expectBox(int entry) {
        QCOMPARE(s().boxes().count(), 1);
        QCOMPARE(s().boxes().last().caption, QStringLiteral("error"));
        QCOMPARE(s().boxes().last().icon, QMessageBox::Critical);
        QCOMPARE(s().boxes().last().text, MessageTable::text(entry, 0));
        s().boxes().clear();
    }

private slots:
    void cleanup() { page_.close(); }

    void captionsAndInitialValues() {
        page_.open();
        QCOMPARE(s().page()->objectName(), QStringLiteral("140"));
        const QList<QPair<int, QString>> captions = {
            {1140, "密钥"}, {1097, "数据"}, {1098, "结果"}, {1066, "加密"}, {1067, "解密"},
            {1099, "SAM速率"}, {1100, "COS命令"}, {1101, "复位信息"}, {1102, "返回结果"}, {1060, "发送"},
            {1073, "复位"}, {1068, "清除结果"}, {1016, "发送带编号"}, {1152, "复位带编号"},
            {1153, "通用复位及PPS"}, {1155, "SAM卡编号"}, {1071, "9600"}, {1072, "38400"}, {1077, "115200"}};
        for (const auto& [id, caption] : captions) QCOMPARE(s().text(id), caption);
        QCOMPARE(s().find<CTransFrm>(1075)->caption(), QStringLiteral("DES计算"));
        QCOMPARE(s().find<CTransFrm>(1076)->caption(), QStringLiteral("SAM卡操作"));
        QCOMPARE(s().find<QLineEdit>(1056)->maxLength(), 16);
        QCOMPARE(s().find<QLineEdit>(1057)->maxLength(), 16);
        QCOMPARE(s().find<QLineEdit>(1058)->maxLength(), 128);
        QCOMPARE(s().text(1156), QStringLiteral("0C1013"));
        QVERIFY(s().find<QRadioButton>(1071)->isChecked());
        auto* numbers = s().find<QComboBox>(1154);
        QCOMPARE(numbers->currentIndex(), 0);
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(numbers->itemText(i), QString::number(i + 1));
            QCOMPARE(numbers->itemData(i).toInt(), i);
        }
        QCOMPARE(numbers->itemData(6).toInt(), 6);  // the large contact slot
        QCOMPARE(s().find<COwnListBox>(1074)->lineHeight(), 18);
        for (int id : {1157, 1158, 1159, 1160, 1065}) QVERIFY(s().find<QPushButton>(id));
    }

    void resetAndApdus() {
        page_.open();
        s().reader()->withReader([](sim::Reader& r) {
            for (sim::SamCard* sam : r.field.all<sim::SamCard>()) sam->cos().master().files.at(0).data.at(0) = 0xA5;
        });
        s().click(1072);
        s().click(1073);
        QCOMPARE(s().result(), QStringLiteral("复位操作成功"));
        QCOMPARE(lastEvent(), std::string("SAM 0 reset at 38400 baud"));
        QCOMPARE(s().text(1061), kSamAtr);
        page_.send(1060, QStringLiteral("00B08A0001"));
        QCOMPARE(s().result(), QStringLiteral("发送操作成功"));
        page_.send(1060, QStringLiteral("00A40000021234"));
        QCOMPARE(lines(s(), 1074), QStringList({"A59000", "6A82"}));
        s().click(1068);
        QCOMPARE(lines(s(), 1074), QStringList());
    }

    // SAM number 3 at 38400 baud: parameter byte 0x21 (rate 1, number 2).
    void resetAndSendByNumber() {
        page_.open({QStringLiteral("sam:slot=3,atr=3B0211AA")});
        s().select(1154, 2);
        s().click(1072);
        s().click(1152);
        QCOMPARE(s().result(), QStringLiteral("复位操作成功"));
        QCOMPARE(s().text(1061), QStringLiteral("3B0211AA"));
        QCOMPARE(lastEvent(), std::string("SAM 2 reset at 38400 baud"));
        page_.send(1016, QStringLiteral("0084000004"));
        QCOMPARE(s().result(), QStringLiteral("发送操作成功"));
        QCOMPARE(lines(s(), 1074).size(), 1);
        QCOMPARE(lines(s(), 1074).front().size(), 12);
        QVERIFY(lines(s(), 1074).front().endsWith(QStringLiteral("9000")));
        // Slot 1 is empty.
        s().select(1154, 0);
        page_.send(1016, QStringLiteral("0084000004"));
        QCOMPARE(s().result(), QStringLiteral("Error: 31 ,函数: rf_sam_cos_with_SAM_No"));
        s().click(1152);
        QCOMPARE(s().result(), QStringLiteral("Error: 31 ,函数: rf_sam_rst_with_SAM_No"));
        QCOMPARE(s().text(1061), QString());
    }

    void resetWithPps() {
        page_.open();
        s().click(1153);  // 0C 10 13: SAM 1, PPS1 13 as its ATR offers
        QCOMPARE(s().result(), QStringLiteral("复位操作成功"));
        QCOMPARE(s().text(1061), kSamAtr);
        QCOMPARE(QString::fromStdString(lastEvent()), QStringLiteral("SAM 0 PPS 10 13"));
        s().setText(1156, QStringLiteral("0C1096"));
        s().click(1153);
        QCOMPARE(s().result(), QStringLiteral("Error: 32 ,函数: rf_sam_rst_with_SAM_No_and_SET_PPS"));
        QCOMPARE(s().text(1061), QString());
        s().reader()->takeRequests();
        for (const char* pps : {"0C10", "", "0C1"}) {
            s().setText(1156, QString::fromLatin1(pps));
            s().click(1153);
            expectBox(62);
        }
        QVERIFY(s().reader()->takeRequests().empty());
        s().setText(1156, QStringLiteral("01"));  // one byte: rate 1, SAM 1
        s().click(1153);
        QCOMPARE(s().result(), QStringLiteral("复位操作成功"));
        QCOMPARE(lastEvent(), std::string("SAM 0 reset at 38400 baud"));
    }

    // Fewer than 5 bytes are refused before the reader, and not stored.
    void shortCommandRefused() {
        page_.open();
        s().click(1073);
        s().reader()->takeRequests();
        for (int button : {1060, 1016}) {
            page_.send(button, QStringLiteral("00840000"));
            expectBox(25);
        }
        QVERIFY(s().reader()->takeRequests().empty());
        page_.send(1060, QStringLiteral("0084000008"));
        s().switchTo(kMifare1K);
        QCOMPARE(costest::bookOnDisk(s(), kBook), QStringList({"0084000008"}));
    }

    void emptySlot() {
        page_.open({});
        s().click(1073);
        QCOMPARE(s().result(), QStringLiteral("Error: 31 ,函数: rf_sam_rst"));
        page_.send(1060, QStringLiteral("0084000008"));
        QCOMPARE(s().result(), QStringLiteral("Error: 31 ,函数: rf_sam_cos"));
        QCOMPARE(lines(s(), 1074), QStringList());
        s().click(1160);
        QCOMPARE(s().result(), QStringLiteral("CPU大卡不存在"));
        s().click(1157);
        QCOMPARE(s().result(), QStringLiteral("CPU大卡座VG不短路"));
        s().click(1158);
        QCOMPARE(s().result(), QStringLiteral("Error: 31 ,函数: rf_Contact_CPU_Card_Power_On"));
    }

    void contactSlot() {
        page_.open({QStringLiteral("contact")});
        s().click(1160);
        QCOMPARE(s().result(), QStringLiteral("CPU大卡存在"));
        s().click(1157);
        QCOMPARE(s().result(), QStringLiteral("CPU大卡座VG不短路"));
        s().select(1154, 6);
        s().click(1152);
        QCOMPARE(s().result(), QStringLiteral("Error: 34 ,函数: rf_sam_rst_with_SAM_No"));
        s().click(1158);
        QCOMPARE(s().result(), QStringLiteral("操作成功!"));
        QCOMPARE(lastEvent(), std::string("contact slot power on"));
        s().click(1152);
        QCOMPARE(s().text(1061), kContactAtr);
        page_.send(1016, QStringLiteral("00A40000021234"));
        QCOMPARE(lines(s(), 1074), QStringList({"6A82"}));
        s().click(1159);
        QCOMPARE(s().result(), QStringLiteral("操作成功!"));
        QCOMPARE(lastEvent(), std::string("contact slot power off"));
        page_.send(1016, QStringLiteral("00A40000021234"));
        QCOMPARE(s().result(), QStringLiteral("Error: 33 ,函数: rf_sam_cos_with_SAM_No"));
    }

    void shortedContactSlot() {
        page_.open({QStringLiteral("contact:short=1")});
        s().click(1157);
        QCOMPARE(s().result(), QStringLiteral("CPU大卡座VG短路"));
    }

    void notConnectedSendsNothing() {
        page_.open();
        s().trigger(MainWindow::kDisconnect);
        s().reader()->takeRequests();
        s().setText(1063, QStringLiteral("0084000008"));
        for (int button : {1073, 1060, 1016, 1152, 1153, 1157, 1158, 1159, 1160}) {
            s().window()->resultStrip()->clear();
            s().click(button);
            QCOMPARE(s().result(), QStringLiteral("Error: 设备未连接"));
        }
        QVERIFY(s().reader()->takeRequests().empty());
        QCOMPARE(s().boxes().count(), 0);
        // DES needs no reader.
        des(QStringLiteral("133457799BBCDFF1"), QString(), QStringLiteral("0123456789ABCDEF"), 1066);
        QCOMPARE(s().text(1059), QStringLiteral("85E813540F0AB405"));
    }

    // FIPS 46 / NBS vectors for DES; two-key triple DES checked with OpenSSL
    // (des-ede-ecb).
    void desVectors_data() {
        QTest::addColumn<QString>("key1");
        QTest::addColumn<QString>("key2");
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("cipher");
        QTest::newRow("DES") << "133457799BBCDFF1" << "" << "0123456789ABCDEF" << "85E813540F0AB405";
        QTest::newRow("DES, Now is t") << "0123456789abcdef" << "" << "4E6F772069732074" << "3FA40E8A984D4815";
        QTest::newRow("3DES, equal halves") << "133457799BBCDFF1" << "133457799BBCDFF1" << "0123456789ABCDEF"
                                            << "85E813540F0AB405";
        QTest::newRow("3DES, two blocks") << "0123456789ABCDEF" << "FEDCBA9876543210"
                                          << "0123456789ABCDEF1122334455667788"
                                          << "1A4D672DCA6CB3353EB3B72576BBBE83";
    }
    void desVectors() {
        QFETCH(QString, key1);
        QFETCH(QString, key2);
        QFETCH(QString, plain);
        QFETCH(QString, cipher);
        page_.open({});
        des(key1, key2, plain, 1066);
        QCOMPARE(s().text(1059), cipher);
        QCOMPARE(s().text(1058), plain);  // the data field keeps what was typed
        des(key1, key2, cipher, 1067);
        QCOMPARE(s().text(1059), plain.toUpper());
        QCOMPARE(s().boxes().count(), 0);
    }

    void desInputRules() {
        page_.open({});
        const QString key = QStringLiteral("133457799BBCDFF1");
        const QString block = QStringLiteral("0123456789ABCDEF");
        // Keys: 8 bytes typed in full, the second one optional.
        for (const auto& [k1, k2] : QList<QPair<QString, QString>>{
                 {QString(), QString()}, {key.left(14), QString()}, {key.left(15), QString()}, {key, key.left(14)},
                 {key, key.left(15)}}) {
            des(k1, k2, block, 1066);
            expectBox(27);
            QCOMPARE(s().text(1059), QString());
        }
        // Data: a whole number of 8-byte blocks.
        for (const QString& data : {QString(), block.left(14), block + block.left(2), block + block.left(15)}) {
            des(key, QString(), data, 1067);
            expectBox(28);
            QCOMPARE(s().text(1059), QString());
        }
    }

    void bookPicksIntoTheCommandField() {
        page_.open();
        s().click(1073);
        page_.send(1060, QStringLiteral("0084000008"));
        page_.send(1060, QStringLiteral("00A4000002DF01"));
        costest::pickFromReloadedBook(page_, 1065, {"0084000008", "00A4000002DF01"}, 1);
    }
};

TORVIK_TEST_MAIN(Iso7816PageTest)
#include "iso7816_page_test.moc"
