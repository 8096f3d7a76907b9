// The ISO14443-4 type B page against simulated type B processor and
// identity cards: reset (ATQB, then ATTRIB so the card takes APDUs), APDU
// and raw-block sessions, the identity card's UID, an absent card, the
// connection rule and the page's command book.
#include <QPushButton>

#include "cards/cpu_card.h"
#include "cos_page_support.h"

using costest::lines;
using torviktest::TorvikSession;

namespace {
const QString kBook = QStringLiteral("14443BCosBooks.j");
}  // namespace

class Iso14443BPageTest : public QObject {
    Q_OBJECT

    costest::PageSession page_{kIso14443B4, kBook, 1056, {QStringLiteral("cpu-b:pupi=11223344")}};
    TorvikSession& s() { return page_.s(); }

private slots:
    void cleanup() { page_.close(); }

    void captions() {
        page_.open();
        QCOMPARE(s().page()->objectName(), QStringLiteral("145"));
        const QList<QPair<int, QString>> captions = {
            {1140, "COS命令"}, {1097, "复位信息"}, {1098, "返回结果"}, {1057, "发送"}, {1064, "复位"},
            {1067, "清除结果"}, {1099, "适用卡片"}, {1100, "ISO14443B-4兼容卡"}, {1016, "读取二代证UID"},
            {1157, "透明传输"}};
        for (const auto& [id, caption] : captions) QCOMPARE(s().text(id), caption);
        QCOMPARE(s().find<CTransFrm>(1065)->caption(), QStringLiteral("数据信息"));
        QCOMPARE(s().find<COwnListBox>(1062)->lineHeight(), 18);
    }

    void englishCaptions() {
        TorvikSession english(TorvikSession::Options().card(kIso14443B4).english());
        QCOMPARE(english.text(1016), QStringLiteral("Get NameCard UID"));
        QCOMPARE(english.text(1100), QStringLiteral("ISO14443B-4 Compatible Card"));
        QCOMPARE(english.find<CTransFrm>(1065)->caption(), QStringLiteral("Data Infomation"));
    }

    // The ATQB of the simulated card: 50, PUPI, application data 00000000,
    // protocol information.
    void resetShowsPupiAndAtqb() {
        page_.open();
        s().click(1064);
        QCOMPARE(s().result(), QStringLiteral("复位操作成功"));
        QCOMPARE(s().text(1059), QStringLiteral("11223344"));
        QCOMPARE(s().text(1060).size(), 24);
        QVERIFY(s().text(1060).startsWith(QStringLiteral("5011223344")));
    }

    void apduSession() {
        page_.open();
        s().reader()->withReader([](sim::Reader& r) {
            for (sim::CpuCardB* card : r.field.all<sim::CpuCardB>())
                for (int i = 0; i < 64; ++i) card->cos().master().files.at(0).data.at(i) = std::uint8_t(0xC0 + i);
        });
        s().click(1064);
        page_.send(1057, QStringLiteral("00B08A0004"));
        QCOMPARE(s().result(), QStringLiteral("发送操作成功"));
        page_.send(1057, QStringLiteral("8020000000"));  // class 80, no such instruction
        page_.send(1057, QStringLiteral("00B08A4101"));  // past the end of the 64-byte file
        QCOMPARE(lines(s(), 1062), QStringList({"C0C1C2C39000", "6D00", "6B00"}));
    }

    // A raw block: I block (PCB 02) carrying the APDU, answered with the
    // same PCB in front of the card's answer.
    void transparentBlock() {
        page_.open();
        s().reader()->withReader([](sim::Reader& r) {
            for (sim::CpuCardB* card : r.field.all<sim::CpuCardB>()) card->cos().master().files.at(0).data.at(0) = 0x5A;
        });
        s().click(1064);
        page_.send(1157, QStringLiteral("0200B08A0001"));
        QCOMPARE(s().result(), QStringLiteral("发送操作成功"));
        QCOMPARE(lines(s(), 1062), QStringList({"025A9000"}));
        s().switchTo(kMifare1K);
        QCOMPARE(costest::bookOnDisk(s(), kBook), QStringList({"0200B08A0001"}));
    }

    void identityCardUid() {
        page_.open({QStringLiteral("idcard-b:uid=0102030405060708")});
        s().setText(1060, QStringLiteral("50"));
        s().click(1016);
        QCOMPARE(s().result(), QStringLiteral("复位操作成功"));
        QCOMPARE(s().text(1059), QStringLiteral("0102030405060708"));
        QCOMPARE(s().text(1060), QString());
    }

    void absentCard() {
        page_.open({});
        s().click(1064);
        QCOMPARE(s().result(), QStringLiteral("Error: a ,函数: rf_atqb"));
        QCOMPARE(s().text(1059), QString());
        s().click(1016);
        QCOMPARE(s().result(), QStringLiteral("Error: a ,函数: rf_get_namecard_uid"));
        page_.send(1057, QStringLiteral("0084000008"));
        QCOMPARE(s().result(), QStringLiteral("Error: 33 ,函数: rf_cos_command"));
        page_.send(1157, QStringLiteral("020084000008"));
        QCOMPARE(s().result(), QStringLiteral("Error: 33 ,函数: rf_transceive"));
    }

    // A processor card gives no identity UID: the reader's status shows.
    void identityUidOfAnotherCard() {
        page_.open();
        s().click(1016);
        QCOMPARE(s().result(), QStringLiteral("Error: 32 ,函数: rf_get_namecard_uid"));
    }

    void notConnectedSendsNothing() {
        page_.open();
        s().trigger(MainWindow::kDisconnect);
        s().reader()->takeRequests();
        s().setText(1056, QStringLiteral("0084000008"));
        for (int button : {1064, 1057, 1157, 1016}) {
            s().window()->resultStrip()->clear();
            s().click(button);
            QCOMPARE(s().result(), QStringLiteral("Error: 设备未连接"));
        }
        QVERIFY(s().reader()->takeRequests().empty());
    }

    void bookPicksIntoTheCommandField() {
        page_.open();
        s().click(1064);
        page_.send(1057, QStringLiteral("0084000008"));
        page_.send(1057, QStringLiteral("0084000008"));
        page_.send(1157, QStringLiteral("030084000004"));
        costest::pickFromReloadedBook(page_, 1063, {"0084000008", "030084000004"}, 0);
    }
};

TORVIK_TEST_MAIN(Iso14443BPageTest)
#include "iso14443b_page_test.moc"
