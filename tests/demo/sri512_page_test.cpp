// The SRI512 page against the simulated reader: the whole chip read against
// the image placed, the UID, the coloured OTP and counter blocks, writes and
// the 2-byte lock field holding after a reselect.
#include "cards/st_chip.h"
#include "support/chip_pages.h"

using chiptest::cardMemory;
using chiptest::hex;
using chiptest::refused;
using chiptest::writeThroughPage;
using torviktest::TorvikSession;

namespace {

constexpr int kChipId = 1001, kUid = 1002, kReadUid = 1003, kRequest = 1010, kRead = 1011, kWrite = 1012;
constexpr int kLock = 1013, kSelector = 1020, kLockField = 1021, kBlock = 5000;


}  // namespace

class Sri512PageTest : public QObject {
    Q_OBJECT

private slots:
    void readsTheWholeChipAndItsUid() {
        QTemporaryDir dir;
        const QByteArray image = chiptest::pattern(64, 11);
        TorvikSession s(kSRI512, {QStringLiteral("sri512:uid=D002AABBCCDDEEFF,chipid=3C,dump=") +
                                  chiptest::writeImage(dir, image)});
        s.click(kRequest);
        QCOMPARE(s.result(), QStringLiteral("寻卡操作成功"));
        QCOMPARE(s.text(kChipId), QStringLiteral("3C"));
        s.click(kReadUid);
        QCOMPARE(s.result(), QStringLiteral("读取UID成功"));
        QCOMPARE(s.text(kUid), QStringLiteral("FFEEDDCCBBAA02D0"));  // least significant byte first
        s.click(kRead);
        QCOMPARE(s.result(), QStringLiteral("读卡操作成功"));
        for (int n = 0; n < 16; ++n) QCOMPARE(s.text(kBlock + n), hex(image.mid(4 * n, 4)));
    }

    void otpAndCounterBlocksKeepTheirColours() {
        TorvikSession s(kSRI512, {QStringLiteral("sri512")});
        s.click(kRequest);
        s.click(kRead);
        QCOMPARE(s.result(), QStringLiteral("读卡操作成功"));
        const auto colours = [&](int n) {
            const QPalette pal = s.find(kBlock + n)->palette();
            return std::make_pair(pal.color(QPalette::Base), pal.color(QPalette::Text));
        };
        for (int n : {0, 4}) QCOMPARE(colours(n), std::make_pair(QColor(240, 0, 0), QColor(255, 255, 0)));
        for (int n : {5, 6}) QCOMPARE(colours(n), std::make_pair(QColor(180, 0, 180), QColor(255, 255, 0)));
        QVERIFY(colours(7).first != QColor(180, 0, 180) && colours(7).second != QColor(255, 255, 0));
    }

    void writesWholeBlocksOnly() {
        TorvikSession s(kSRI512, {QStringLiteral("sri512")});
        auto* list = s.find<QComboBox>(kSelector);
        QCOMPARE(list->count(), 15);
        QCOMPARE(list->itemData(14).toInt(), 14);
        s.click(kRequest);
        s.select(kSelector, 9);
        s.setText(kBlock + 9, QStringLiteral("123456"));
        s.reader()->takeRequests();
        s.click(kWrite);
        QVERIFY(s.reader()->takeRequests().empty());
        s.setText(kBlock + 9, QStringLiteral("12345678"));
        s.click(kWrite);
        QCOMPARE(s.result(), QStringLiteral("写卡操作成功"));
        QCOMPARE(hex(cardMemory<sim::StChip>(s).mid(36, 4)), QStringLiteral("12345678"));
    }

    void lockFieldHoldsAfterReselect() {
        TorvikSession s(kSRI512, {QStringLiteral("sri512")});
        s.click(kRequest);
        s.setText(kLockField, QStringLiteral("7F"));  // one byte: not a lock field
        s.reader()->takeRequests();
        s.click(kLock);
        QVERIFY(s.reader()->takeRequests().empty());
        QCOMPARE(s.boxes().count(), 1);  // the connection box only

        s.setText(kLockField, QStringLiteral("7FFF"));  // bit 7 cleared: block 7 locked
        s.click(kLock);
        QCOMPARE(s.boxes().last().text, QStringLiteral("你确定需要进行块锁定操作?"));
        QCOMPARE(s.result(), QStringLiteral("块锁定操作成功"));
        QCOMPARE(chiptest::countRequests(s.reader()->takeRequests(), 0x6C, {0x7F, 0xFF}), 1);

        s.click(kRequest);
        QVERIFY(refused(writeThroughPage(s, 7, QStringLiteral("01020304")), "rf_SRI512_writeblock"));
        QCOMPARE(hex(cardMemory<sim::StChip>(s).mid(28, 4)), QStringLiteral("FFFFFFFF"));
        QCOMPARE(writeThroughPage(s, 8, QStringLiteral("01020304")), QStringLiteral("写卡操作成功"));
    }

    void uidNeedsASelectedChip() {
        TorvikSession s(kSRI512, {QStringLiteral("sri512")});
        s.setText(kUid, QStringLiteral("0102"));
        s.click(kReadUid);
        QVERIFY(refused(s.result(), "rf_SRI512_getuid"));
        QCOMPARE(s.text(kUid), QStringLiteral("0102"));
    }
};

TORVIK_TEST_MAIN(Sri512PageTest)
#include "sri512_page_test.moc"
