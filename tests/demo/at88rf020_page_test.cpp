// The AT88RF020 page against the simulated reader: the request and its PUPI,
// the password rule, the whole card read against the image placed (page 3
// never read), page writes, LOCK and COUNT with the page they change read
// back, a lock holding after a new request, and an ATQB of the wrong length.
#include "cards/at88rf020.h"
#include "pages/at88rf020_page.h"
#include "support/chip_pages.h"

using chiptest::cardMemory;
using chiptest::hex;
using chiptest::refused;
using chiptest::writeThroughPage;
using torviktest::TorvikSession;

namespace {

using P = CAT88RF020;
const QString kPassword = QStringLiteral("0011223344556677");

// 32 pages of 8 bytes, the password 0011223344556677 in page 3, no lock bit.
QByteArray at88Image() {
    QByteArray image = chiptest::pattern(256, 9);
    image.replace(4, 4, QByteArray(4, '\0'));
    image.replace(24, 8, QByteArray::fromHex("0011223344556677"));
    image.replace(22, 2, QByteArray(2, '\0'));  // the counter starts at 0
    return image;
}

QString cardWith(const QTemporaryDir& dir, const QByteArray& image) {
    return QStringLiteral("at88rf020:dump=") + chiptest::writeImage(dir, image);
}


void requestAndCheck(TorvikSession& s) {
    s.click(P::kRequest);
    QCOMPARE(s.result(), QStringLiteral("寻卡操作成功"));
    s.setText(P::kPassword, kPassword);
    s.click(P::kCheck);
    QCOMPARE(s.result(), QStringLiteral("验证操作成功"));
}

// rf_atqb answering 11 bytes: the card's answer cut short by one byte.
int (*realAtqb)(int, unsigned char, unsigned char*, unsigned char*) = nullptr;
int atqbCalls = 0;
int KV_STDCALL shortAtqb(int address, unsigned char mode, unsigned char* answer, unsigned char* length) {
    ++atqbCalls;
    const int status = realAtqb(address, mode, answer, length);
    if (status == 0) *length = 11;
    return status;
}

}  // namespace

class At88rf020PageTest : public QObject {
    Q_OBJECT

private slots:
    void requestShowsThePupi() {
        TorvikSession s(kAT88RF020, {QStringLiteral("at88rf020:uid=0A0B0C0D")});
        s.setText(P::kFirstPageField + 5, QStringLiteral("01"));
        s.click(P::kRequest);
        QCOMPARE(s.result(), QStringLiteral("寻卡操作成功"));
        QCOMPARE(s.text(P::kPupi), QStringLiteral("0A0B0C0D"));
        QCOMPARE(s.text(P::kFirstPageField + 5), QString());
        QCOMPARE(s.window()->focusWidget(), s.find(P::kPassword));
    }

    void noCardEmptiesThePupi() {
        TorvikSession s(kAT88RF020);
        s.setText(P::kPupi, QStringLiteral("0A0B0C0D"));
        s.click(P::kRequest);
        QVERIFY(refused(s.result(), "rf_atqb"));
        QCOMPARE(s.text(P::kPupi), QString());
    }

    void atqbOfElevenBytesFails() {
        TorvikSession s(kAT88RF020, {QStringLiteral("at88rf020")});
        chiptest::WrappedContext wrapped(s);
        realAtqb = wrapped.api.rf_atqb;
        wrapped.api.rf_atqb = shortAtqb;
        atqbCalls = 0;
        CAT88RF020 page(*wrapped.context);
        findById<CHexEdit>(&page, P::kPupi)->setText(QStringLiteral("0A0B0C0D"));
        page.RequestCard();
        QCOMPARE(atqbCalls, 2);
        QCOMPARE(s.result(), QStringLiteral("Error: 1 ,函数: rf_atqb"));
        QCOMPARE(findById<CHexEdit>(&page, P::kPupi)->text(), QString());
    }

    void passwordRule() {
        QTemporaryDir dir;
        TorvikSession s(kAT88RF020, {cardWith(dir, at88Image())});
        s.click(P::kRequest);
        s.reader()->takeRequests();
        for (const char* typed : {"", "00112233445566"}) {
            s.setText(P::kPassword, QString::fromLatin1(typed));
            s.click(P::kCheck);
            QCOMPARE(s.boxes().last().text, QStringLiteral("请在密码区输满8个字节的密码!"));
            QCOMPARE(s.boxes().last().caption, QStringLiteral("Error"));
            QCOMPARE(s.boxes().last().icon, QMessageBox::Critical);
        }
        QVERIFY(s.reader()->takeRequests().empty());

        // Without the password only pages 0-2 answer.
        s.click(P::kRead);
        QVERIFY(refused(s.result(), "读Page: 4 页发生错误!"));
        QVERIFY(!s.text(P::kFirstPageField + 2).isEmpty());

        s.setText(P::kPassword, QStringLiteral("0011223344556678"));
        s.click(P::kCheck);
        QVERIFY(refused(s.result(), "rf_at020_check"));
        s.setText(P::kPassword, kPassword);
        s.click(P::kCheck);
        QCOMPARE(s.result(), QStringLiteral("验证操作成功"));
        s.click(P::kRead);
        QCOMPARE(s.result(), QStringLiteral("读卡操作成功"));
    }

    void readsTheWholeCardButThePasswordPage() {
        QTemporaryDir dir;
        const QByteArray image = at88Image();
        TorvikSession s(kAT88RF020, {cardWith(dir, image)});
        requestAndCheck(s);
        s.setText(P::kFirstPageField + 3, QStringLiteral("FFEEDDCC"));
        s.reader()->takeRequests();
        s.click(P::kRead);
        QCOMPARE(s.result(), QStringLiteral("读卡操作成功"));
        QCOMPARE(chiptest::countRequests(s.reader()->takeRequests(), 0x40, {0x03}), 0);
        QCOMPARE(s.text(P::kFirstPageField + 3), QStringLiteral("FFEEDDCC"));
        for (int n : {0, 1}) {
            QCOMPARE(s.text(P::kFirstPageField + n), hex(image.mid(8 * n, 4)));
            QCOMPARE(s.text(P::kSecondPageField + n), hex(image.mid(8 * n + 4, 4)));
        }
        QCOMPARE(s.text(P::kFirstPageField + 2), hex(image.mid(16, 6)));
        QCOMPARE(s.text(P::kSecondPageField + 2), hex(image.mid(22, 2)));
        for (int n = 4; n < 32; ++n) QCOMPARE(s.text(P::kFirstPageField + n), hex(image.mid(8 * n, 8)));
    }

    void writeSelectorAndZeroFill() {
        QTemporaryDir dir;
        TorvikSession s(kAT88RF020, {cardWith(dir, at88Image())});
        auto* list = s.find<QComboBox>(P::kPageSelector);
        QCOMPARE(list->count(), 30);
        QCOMPARE(list->itemData(0).toInt(), 1);
        QCOMPARE(list->itemData(1).toInt(), 3);
        QCOMPARE(list->findData(0), -1);
        QCOMPARE(list->findData(2), -1);
        requestAndCheck(s);

        QCOMPARE(writeThroughPage(s, 5, QStringLiteral("1122")), QStringLiteral("写卡操作成功"));
        QCOMPARE(hex(cardMemory<sim::At88rf020>(s).mid(40, 8)), QStringLiteral("1122000000000000"));

        s.select(P::kPageSelector, 1);
        s.setText(P::kFirstPageField + 1, QStringLiteral("A1A2A3A4"));
        s.setText(P::kSecondPageField + 1, QStringLiteral("B1B2"));
        s.click(P::kWrite);
        QCOMPARE(s.result(), QStringLiteral("写卡操作成功"));
        QCOMPARE(hex(cardMemory<sim::At88rf020>(s).mid(8, 8)), QStringLiteral("A1A2A3A4B1B20000"));
    }

    void lockShowsPageZeroAndHolds() {
        QTemporaryDir dir;
        TorvikSession s(kAT88RF020, {cardWith(dir, at88Image())});
        s.click(P::kRequest);
        s.setText(P::kLockField, QStringLiteral("200000"));
        s.click(P::kLock);
        QCOMPARE(s.boxes().last().text, QStringLiteral("请在LOCK区输满4个字节!"));
        QCOMPARE(s.boxes().last().caption, QStringLiteral("Error"));

        // Refused without the password: reported, not shown as done.
        s.setText(P::kLockField, QStringLiteral("20000000"));
        s.click(P::kLock);
        QVERIFY(refused(s.result(), "rf_at020_lock"));
        QCOMPARE(s.text(P::kSecondPageField + 0), QString());

        s.setText(P::kPassword, kPassword);
        s.click(P::kCheck);
        s.click(P::kLock);  // bit 5: page 5
        QCOMPARE(s.result(), QStringLiteral("LOCK操作成功"));
        QCOMPARE(s.text(P::kSecondPageField + 0), QStringLiteral("20000000"));
        QCOMPARE(s.text(P::kFirstPageField + 0), hex(at88Image().left(4)));

        s.click(P::kDeselect);
        QCOMPARE(s.result(), QStringLiteral("操作成功!"));
        requestAndCheck(s);
        QVERIFY(refused(writeThroughPage(s, 5, QStringLiteral("0102030405060708")), "rf_at020_write"));
        QCOMPARE(cardMemory<sim::At88rf020>(s).mid(40, 8), at88Image().mid(40, 8));
    }

    void countShowsPageTwo() {
        QTemporaryDir dir;
        TorvikSession s(kAT88RF020, {cardWith(dir, at88Image())});
        requestAndCheck(s);
        s.setText(P::kSignature, QStringLiteral("0102030405"));
        s.click(P::kCount);
        QCOMPARE(s.boxes().last().text, QStringLiteral("请在签名区输满6个字节!"));
        s.setText(P::kSignature, QStringLiteral("010203040506"));
        s.click(P::kCount);
        QCOMPARE(s.result(), QStringLiteral("记数操作成功"));
        QCOMPARE(s.text(P::kFirstPageField + 2), QStringLiteral("010203040506"));
        QCOMPARE(s.text(P::kSecondPageField + 2), QStringLiteral("0100"));
        QCOMPARE(hex(cardMemory<sim::At88rf020>(s).mid(16, 8)), QStringLiteral("0102030405060100"));
    }

    void deselectedCardAnswersNoMore() {
        TorvikSession s(kAT88RF020, {QStringLiteral("at88rf020")});
        s.click(P::kRequest);
        s.click(P::kDeselect);
        QCOMPARE(s.result(), QStringLiteral("操作成功!"));
        s.click(P::kRead);
        QVERIFY(refused(s.result(), "读Page: 0 页发生错误!"));
        s.trigger(MainWindow::kDisconnect);
        s.reader()->takeRequests();
        for (int id : {P::kRequest, P::kCheck, P::kLock, P::kCount, P::kRead, P::kWrite, P::kDeselect}) {
            s.click(id);
            QCOMPARE(s.result(), QStringLiteral("Error: 设备未连接"));
        }
        QCOMPARE(s.boxes().count(), 1);
        QVERIFY(s.reader()->takeRequests().empty());
    }
};

TORVIK_TEST_MAIN(At88rf020PageTest)
#include "at88rf020_page_test.moc"
