// The SR176 page against the simulated reader: selection, the whole chip
// read against the image placed, block writes of the right and wrong size,
// the protection byte holding after a reselect, completion.
#include "cards/st_chip.h"
#include "support/chip_pages.h"

using chiptest::cardMemory;
using chiptest::hex;
using chiptest::refused;
using chiptest::writeThroughPage;
using torviktest::TorvikSession;

namespace {

constexpr int kChipId = 1001, kRequest = 1010, kRead = 1011, kWrite = 1012, kLock = 1013, kCompletion = 1014;
constexpr int kSelector = 1020, kLockField = 1021, kBlock = 5000;

// 16 blocks of 2 bytes: the UID in blocks 0-3 (ending 02 D0), chip id A in
// block 15, no lock bit set.
QByteArray sr176Image() {
    QByteArray image = chiptest::pattern(32, 3);
    image[6] = 0x02;
    image[7] = static_cast<char>(0xD0);
    image[30] = 0x5A;
    image[31] = 0x00;
    return image;
}


}  // namespace

class Sr176PageTest : public QObject {
    Q_OBJECT

private slots:
    void selectsAndReadsTheWholeChip() {
        QTemporaryDir dir;
        const QByteArray image = sr176Image();
        TorvikSession s(kSR176, {QStringLiteral("sr176:dump=") + chiptest::writeImage(dir, image)});
        s.setText(kBlock + 9, QStringLiteral("FFFF"));
        s.click(kRequest);
        QCOMPARE(s.result(), QStringLiteral("寻卡操作成功"));
        QCOMPARE(s.text(kChipId), QStringLiteral("0A"));
        QCOMPARE(s.text(kBlock + 9), QString());  // a selection empties the blocks
        s.click(kRead);
        QCOMPARE(s.result(), QStringLiteral("读卡操作成功"));
        for (int n = 0; n < 16; ++n) QCOMPARE(s.text(kBlock + n), hex(image.mid(2 * n, 2)));
    }

    void selectorOffersTheWritableBlocks() {
        TorvikSession s(kSR176, {QStringLiteral("sr176")});
        auto* list = s.find<QComboBox>(kSelector);
        QCOMPARE(list->count(), 11);
        QCOMPARE(list->itemData(0).toInt(), 4);
        QCOMPARE(list->itemData(10).toInt(), 14);
        QCOMPARE(list->currentIndex(), 0);
    }

    void writesOnlyWholeBlocks() {
        TorvikSession s(kSR176, {QStringLiteral("sr176")});
        s.click(kRequest);
        s.select(kSelector, 7);
        s.reader()->takeRequests();
        const QString before = s.result();
        for (const char* typed : {"AB", "A", ""}) {
            s.setText(kBlock + 7, QString::fromLatin1(typed));
            s.click(kWrite);
            QVERIFY(s.reader()->takeRequests().empty());
            QCOMPARE(s.result(), before);
        }
        s.setText(kBlock + 7, QStringLiteral("1234"));
        s.click(kWrite);
        QCOMPARE(s.result(), QStringLiteral("写卡操作成功"));
        QCOMPARE(hex(cardMemory<sim::StChip>(s).mid(14, 2)), QStringLiteral("1234"));
    }

    void protectionHoldsAfterReselect() {
        TorvikSession s(kSR176, {QStringLiteral("sr176")});
        s.click(kRequest);
        s.setText(kLockField, QStringLiteral("08"));  // bit 3: blocks 6 and 7
        s.boxes().answerNext(QMessageBox::Cancel);
        s.reader()->takeRequests();
        s.click(kLock);
        QCOMPARE(s.boxes().last().text, QStringLiteral("你确定需要进行块锁定操作?"));
        QCOMPARE(s.boxes().last().caption, QStringLiteral("Warning"));
        QCOMPARE(s.boxes().last().icon, QMessageBox::Question);
        QCOMPARE(s.boxes().last().buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QVERIFY(s.reader()->takeRequests().empty());

        s.click(kLock);
        QCOMPARE(s.result(), QStringLiteral("块锁定操作成功"));
        s.click(kRequest);
        QCOMPARE(s.result(), QStringLiteral("寻卡操作成功"));
        QCOMPARE(uchar(cardMemory<sim::StChip>(s)[31]), uchar(0x08));
        QVERIFY(refused(writeThroughPage(s, 7, QStringLiteral("1234")), "rf_sr176_writeblock"));
        QCOMPARE(hex(cardMemory<sim::StChip>(s).mid(14, 2)), QStringLiteral("FFFF"));
        QCOMPARE(writeThroughPage(s, 8, QStringLiteral("5678")), QStringLiteral("写卡操作成功"));
    }

    void lockNeedsOneByte() {
        TorvikSession s(kSR176, {QStringLiteral("sr176")});
        s.click(kRequest);
        s.reader()->takeRequests();
        s.setText(kLockField, QString());  // two digits at most: only an empty field is short
        s.click(kLock);
        QCOMPARE(s.boxes().count(), 1);  // only the connection box at start
        QVERIFY(s.reader()->takeRequests().empty());
    }

    void completionSilencesTheChip() {
        TorvikSession s(kSR176, {QStringLiteral("sr176")});
        s.click(kRequest);
        s.click(kCompletion);
        QCOMPARE(s.result(), QStringLiteral("SRX卡Completion操作成功"));
        s.click(kRead);
        QVERIFY(refused(s.result(), "读Block: 0 页发生错误!"));
        // The field is reset by the next selection, and the chip answers again.
        s.click(kRequest);
        QCOMPARE(s.result(), QStringLiteral("寻卡操作成功"));
    }

    void noChipMeansTwoFailedAttempts() {
        TorvikSession s(kSR176);
        s.setText(kChipId, QStringLiteral("0A"));
        s.reader()->takeRequests();
        s.click(kRequest);
        QCOMPARE(chiptest::countRequests(s.reader()->takeRequests(), 0x60), 2);
        QVERIFY(refused(s.result(), "rf_st_select"));
        QCOMPARE(s.text(kChipId), QString());
    }

    void nothingIsSentWhileDisconnected() {
        TorvikSession s(kSR176, {QStringLiteral("sr176")});
        s.trigger(MainWindow::kDisconnect);
        s.reader()->takeRequests();
        for (int id : {kRequest, kRead, kCompletion}) {
            s.click(id);
            QCOMPARE(s.result(), QStringLiteral("Error: 设备未连接"));
        }
        QVERIFY(s.reader()->takeRequests().empty());
    }
};

TORVIK_TEST_MAIN(Sr176PageTest)
#include "sr176_page_test.moc"
