// The ISO14443-4 type A page against simulated processor cards: activation,
// APDU sessions (a status word other than 9000 included), an absent card,
// the connection rule, the result list and the page's command book.
#include <QPushButton>

#include "cards/cpu_card.h"
#include "cos_page_support.h"
#include "pages/iso14443a_page.h"

using costest::lines;
using torviktest::TorvikSession;

namespace {
const QString kBook = QStringLiteral("14443ACosBooks.j");
const QString kDefaultAts = QStringLiteral("09788070024B4F5641");  // the simulated card's ATS
}  // namespace

class Iso14443APageTest : public QObject {
    Q_OBJECT

    costest::PageSession page_{kIso14443A4, kBook, 1056, {QStringLiteral("cpu-a")}};
    TorvikSession& s() { return page_.s(); }
    void removeCards() {
        s().reader()->withReader([](sim::Reader& r) { r.field.clear(); });
    }

private slots:
    void cleanup() { page_.close(); }

    void captions() {
        page_.open();
        QCOMPARE(s().page()->objectName(), QStringLiteral("138"));
        const QList<QPair<int, QString>> captions = {
            {1140, "COS命令"}, {1097, "复位信息"}, {1098, "返回结果"}, {1057, "发送"}, {1064, "复位"},
            {1067, "清除结果"}, {1099, "适用卡片"}, {1100, "其他ISO14443A-4兼容卡"}};
        for (const auto& [id, caption] : captions) QCOMPARE(s().text(id), caption);
        QCOMPARE(s().find<CTransFrm>(1065)->caption(), QStringLiteral("数据信息"));
        QCOMPARE(s().find<QPushButton>(1063)->text(), QString());
        auto* list = s().find<COwnListBox>(1062);
        QCOMPARE(list->lineHeight(), 18);
        QVERIFY(list->tipsEnabled());
        QCOMPARE(s().find<QLineEdit>(1056)->maxLength(), 504);
    }

    void resetShowsSerialAndAnswer() {
        page_.open({QStringLiteral("cpu-a:uid=A1B2C3D4")});
        s().setText(1058, QStringLiteral("FFFF"));
        s().click(1064);
        QCOMPARE(s().result(), QStringLiteral("复位操作成功"));
        QCOMPARE(s().text(1058), QStringLiteral("A1B2C3D4"));
        QCOMPARE(s().text(1060), kDefaultAts);
        const char family = s().reader()->withReader([](sim::Reader& r) { return char(r.card_family); });
        QCOMPARE(family, 'A');
    }

    // The serial field shows a whole 7-byte UID, not its first four bytes.
    void sevenByteUid() {
        page_.open({QStringLiteral("cpu-a:uid=04112233445566")});
        s().click(1064);
        QCOMPARE(s().text(1058), QStringLiteral("04112233445566"));
        QCOMPARE(s().text(1060), kDefaultAts);
    }

    void uidLengthOfAnAnswer() {
        QCOMPARE(CISO14443A_4::uidLength(QByteArray::fromHex("A1B2C3")), 3);
        QCOMPARE(CISO14443A_4::uidLength(QByteArray::fromHex("A1B2C3D4")), 4);
        QCOMPARE(CISO14443A_4::uidLength(QByteArray::fromHex("A1B2C3D40578807002")), 4);
        QCOMPARE(CISO14443A_4::uidLength(QByteArray::fromHex("041122334455660578807002")), 7);
        // No ATS length byte that fits: the first four bytes, as for a short UID.
        QCOMPARE(CISO14443A_4::uidLength(QByteArray::fromHex("A1B2C3D4FF")), 4);
    }

    void apduSession() {
        page_.open();
        // The card's Wiegand record file 000A (short id 0A) holds 01 02 .. 40.
        s().reader()->withReader([](sim::Reader& r) {
            for (sim::CpuCardA* card : r.field.all<sim::CpuCardA>())
                for (int i = 0; i < 64; ++i) card->cos().master().files.at(0).data.at(i) = std::uint8_t(i + 1);
        });
        s().click(1064);
        page_.send(1057, QStringLiteral("00b08a0008"));
        QCOMPARE(s().result(), QStringLiteral("发送操作成功"));
        page_.send(1057, QStringLiteral("00B08A3808"));
        page_.send(1057, QStringLiteral("00A40000021234"));  // no such file
        QCOMPARE(s().result(), QStringLiteral("发送操作成功"));
        page_.send(1057, QStringLiteral("00FF000000"));  // no such instruction
        QCOMPARE(lines(s(), 1062), QStringList({"01020304050607089000", "393A3B3C3D3E3F409000", "6A82", "6D00"}));
        QCOMPARE(s().find<COwnListBox>(1062)->selectionModel()->selectedRows().front().row(), 3);
        s().click(1067);
        QCOMPARE(lines(s(), 1062), QStringList());
        s().switchTo(kMifare1K);
        QCOMPARE(costest::bookOnDisk(s(), kBook),
                 QStringList({"00B08A0008", "00B08A3808", "00A40000021234", "00FF000000"}));
    }

    void absentCard() {
        page_.open({});
        s().setText(1058, QStringLiteral("A1B2C3D4"));
        s().setText(1060, QStringLiteral("0978"));
        s().click(1064);
        QCOMPARE(s().result(), QStringLiteral("Error: a ,函数: rf_typea_rst"));
        QCOMPARE(s().text(1058), QString());
        QCOMPARE(s().text(1060), QString());
        page_.send(1057, QStringLiteral("0084000008"));
        QCOMPARE(s().result(), QStringLiteral("Error: 33 ,函数: rf_cos_command"));
        QCOMPARE(lines(s(), 1062), QStringList());
    }

    void cardTakenAwayAfterReset() {
        page_.open();
        s().click(1064);
        page_.send(1057, QStringLiteral("0084000004"));
        QCOMPARE(lines(s(), 1062).size(), 1);
        removeCards();
        page_.send(1057, QStringLiteral("0084000004"));
        QCOMPARE(s().result(), QStringLiteral("Error: 33 ,函数: rf_cos_command"));
        QCOMPARE(lines(s(), 1062).size(), 1);
    }

    void notConnectedSendsNothing() {
        page_.open();
        s().trigger(MainWindow::kDisconnect);
        s().reader()->takeRequests();
        s().setText(1056, QStringLiteral("0084000008"));
        for (int button : {1064, 1057}) {
            s().window()->resultStrip()->clear();
            s().click(button);
            QCOMPARE(s().result(), QStringLiteral("Error: 设备未连接"));
        }
        QVERIFY(s().reader()->takeRequests().empty());
        s().switchTo(kMifare1K);
        QCOMPARE(costest::bookOnDisk(s(), kBook), QStringList());
    }

    // A command sent twice in a row is kept once; sent again after another, again.
    void bookKeepsCommandsAcrossPages() {
        page_.open();
        s().click(1064);
        for (const char* command : {"0084000008", "0084000008", "00A4000002DF01", "0084000008"})
            page_.send(1057, QString::fromLatin1(command));
        s().switchTo(kMifare1K);
        const QStringList expected = {"0084000008", "00A4000002DF01", "0084000008"};
        QCOMPARE(costest::bookOnDisk(s(), kBook), expected);
        s().switchTo(kIso14443A4);
        costest::withBookDialog(s(), 1063, [&](CDisplayCos* dialog) {
            QCOMPARE(dialog->list()->items(), expected);
            costest::doubleClickLine(dialog, 1);
            QVERIFY(!dialog->isVisible());
        });
        QCOMPARE(s().text(1056), QStringLiteral("00A4000002DF01"));
        // The picked command goes out as typed.
        s().click(1064);
        s().click(1057);
        QCOMPARE(lines(s(), 1062).size(), 1);
        QVERIFY(lines(s(), 1062).front().startsWith(QStringLiteral("6F")));
    }

    void bookKeepsTheNewest201() {
        page_.open({});
        for (int i = 1; i <= 205; ++i) page_.send(1057, QStringLiteral("00B0%1").arg(i, 4, 16, QLatin1Char('0')));
        s().switchTo(kMifare1K);
        const QStringList book = costest::bookOnDisk(s(), kBook);
        QCOMPARE(book.size(), 201);
        QCOMPARE(book.front(), QStringLiteral("00B00005"));
        QCOMPARE(book.back(), QStringLiteral("00B000CD"));
    }

    void clearingTheBookInTheDialog() {
        page_.open({});
        page_.send(1057, QStringLiteral("0084000008"));
        costest::withBookDialog(s(), 1063, [](CDisplayCos* dialog) {
            dialog->findChild<QPushButton*>(QStringLiteral("1066"))->click();
            QCOMPARE(dialog->list()->count(), 0);
        });
        QCOMPARE(s().text(1056), QStringLiteral("0084000008"));
        s().switchTo(kMifare1K);
        QCOMPARE(costest::bookOnDisk(s(), kBook), QStringList());
    }
};

TORVIK_TEST_MAIN(Iso14443APageTest)
#include "iso14443a_page_test.moc"
