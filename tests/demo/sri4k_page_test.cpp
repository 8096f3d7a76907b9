// The SRIX4K page against the simulated reader: the 128-block read against
// the image placed (both halves, whichever tab shows), the two tabs, the
// lock register holding after a reselect, authentication, and the grid laid
// over the view.
#include "cards/st_chip.h"
#include "pages/sri4k_page.h"
#include "support/chip_pages.h"

using chiptest::cardMemory;
using chiptest::hex;
using chiptest::refused;
using chiptest::writeThroughPage;
using torviktest::TorvikSession;

namespace {

constexpr int kUid = 1002, kReadUid = 1003, kRequest = 1010, kRead = 1011, kLock = 1013;
constexpr int kSelector = 1020, kLockField = 1021, kChallenge = 1030, kAuthenticate = 1031, kResponse = 1032;
constexpr int kBlock = 5000, kLabel = 5500, kHeading = 6000, kFirstTab = 6010, kSecondTab = 6011;


bool shown(TorvikSession& s, int id) { return s.find(id)->isVisible(); }

}  // namespace

class Sri4kPageTest : public QObject {
    Q_OBJECT

private slots:
    void readFillsBothHalvesWhicheverShows() {
        QTemporaryDir dir;
        const QByteArray image = chiptest::pattern(512, 5);
        TorvikSession s(kSRI4K, {QStringLiteral("srix4k:uid=D002102030405060,dump=") +
                                 chiptest::writeImage(dir, image)});
        s.click(kRequest);
        QCOMPARE(s.result(), QStringLiteral("寻卡操作成功"));
        QVERIFY(!shown(s, kBlock + 64));
        s.click(kRead);
        QCOMPARE(s.result(), QStringLiteral("读卡操作成功"));
        for (int n = 0; n < 128; ++n) QCOMPARE(s.text(kBlock + n), hex(image.mid(4 * n, 4)));
        s.click(kReadUid);
        QCOMPARE(s.result(), QStringLiteral("读取UID成功"));
        QCOMPARE(s.text(kUid), QStringLiteral("60504030201002D0"));
    }

    void tabsChooseTheHalfShown() {
        TorvikSession s(kSRI4K, {QStringLiteral("srix4k")});
        auto* page = static_cast<CSRI4K*>(s.page());
        QVERIFY(shown(s, kBlock) && shown(s, kLabel + 63) && !shown(s, kBlock + 64) && !shown(s, kLabel + 127));
        QCOMPARE(s.find(kLabel + 5)->property("text").toString(), QStringLiteral("block5"));
        QCOMPARE(s.find(kHeading + 3)->property("text").toString(), QStringLiteral("byte3...byte0"));
        QCOMPARE(s.find(kFirstTab)->property("text").toString(), QStringLiteral("First Page"));
        s.click(kSecondTab);
        QCOMPARE(page->currentHalf(), 1);
        QVERIFY(!shown(s, kBlock) && !shown(s, kLabel + 63) && shown(s, kBlock + 64) && shown(s, kLabel + 127));
        s.click(kSecondTab);  // the current tab: nothing changes
        QCOMPARE(page->currentHalf(), 1);
        QVERIFY(shown(s, kBlock + 127) && !shown(s, kBlock + 10));
        QVERIFY(s.find<QAbstractButton>(kSecondTab)->isChecked());
        s.click(kFirstTab);
        QVERIFY(shown(s, kBlock + 10) && !shown(s, kBlock + 74));
        QVERIFY(!s.find<QAbstractButton>(kSecondTab)->isChecked());
    }

    void writesBlocksOfTheSecondHalf() {
        TorvikSession s(kSRI4K, {QStringLiteral("srix4k")});
        QCOMPARE(s.find<QComboBox>(kSelector)->count(), 128);
        s.click(kRequest);
        QCOMPARE(writeThroughPage(s, 127, QStringLiteral("CAFEBABE")), QStringLiteral("写卡操作成功"));
        QCOMPARE(hex(cardMemory<sim::StChip>(s).mid(508, 4)), QStringLiteral("CAFEBABE"));
    }

    void lockRegisterHoldsAfterReselect() {
        TorvikSession s(kSRI4K, {QStringLiteral("srix4k")});
        s.click(kRequest);
        s.setText(kLockField, QString());  // two digits at most: only an empty field is short
        s.click(kLock);
        QCOMPARE(s.boxes().count(), 1);
        s.setText(kLockField, QStringLiteral("FE"));  // bit 0 cleared: blocks 7-15 locked
        s.click(kLock);
        QCOMPARE(s.result(), QStringLiteral("块锁定操作成功"));
        s.click(kRequest);
        QVERIFY(refused(writeThroughPage(s, 8, QStringLiteral("11223344")), "rf_srix4k_writeblock"));
        QCOMPARE(hex(cardMemory<sim::StChip>(s).mid(32, 4)), QStringLiteral("FFFFFFFF"));
        QCOMPARE(writeThroughPage(s, 16, QStringLiteral("11223344")), QStringLiteral("写卡操作成功"));
    }

    void authenticationShowsTheChipsAnswer() {
        TorvikSession s(kSRI4K, {QStringLiteral("srix4k")});
        s.click(kRequest);
        s.setText(kChallenge, QStringLiteral("0102030405"));
        s.reader()->takeRequests();
        s.click(kAuthenticate);
        QCOMPARE(s.boxes().last().caption, QStringLiteral("Error"));
        QVERIFY(s.reader()->takeRequests().empty());

        s.setText(kChallenge, QStringLiteral("010203040506"));
        s.click(kAuthenticate);
        QCOMPARE(s.result(), QStringLiteral("操作成功!"));
        const QString expected = s.reader()->withReader([](sim::Reader& r) {
            const std::uint8_t challenge[6] = {1, 2, 3, 4, 5, 6};
            sim::Bytes answer;
            r.field.all<sim::StChip>().front()->authenticate(challenge, &answer);
            return hex(QByteArray(reinterpret_cast<const char*>(answer.data()), int(answer.size())));
        });
        QVERIFY(!expected.isEmpty());
        QCOMPARE(s.text(kResponse), expected);
    }

    void gridCoversTheView() {
        TorvikSession s(kSRI4K, {QStringLiteral("srix4k")});
        s.window()->resize(1200, 800);
        QCoreApplication::processEvents();
        auto* page = static_cast<CSRI4K*>(s.page());
        const int h = page->height();
        const QRect first = s.find(kBlock)->geometry();
        const QRect below = s.find(kBlock + 1)->geometry();
        const QRect right = s.find(kBlock + 16)->geometry();
        QCOMPARE(below.y() - first.y(), 22);
        QCOMPARE(first.height(), 18);
        QCOMPARE(s.find(kBlock + 64)->geometry(), first);  // blocks k and k + 64 share a cell
        QCOMPARE(s.find(kHeading)->geometry().y(), first.y() - 17);
        const QRect tab = s.find(kFirstTab)->geometry();
        QCOMPARE(tab.y(), first.y() + 16 * 18 + 99);
        QCOMPARE(tab.size(), QSize(110, 30));
        QCOMPARE(s.find(kSecondTab)->geometry().x(), tab.x() + 110);
        QCOMPARE(tab.bottom() + 1, h - 30);
        const int column = right.x() - first.x();
        QVERIFY(qAbs(first.width() - (column - 56)) <= 4);
        QVERIFY(s.find(kBlock + 48)->geometry().right() <= page->width() - 20);

        // A wide screen centres the operation column; a narrow one leaves it at the top.
        const QWidget* request = s.find(kRequest);
        page->layoutForScreen(800);
        const int top = request->mapTo(page, QPoint()).y();
        page->layoutForScreen(1280);
        const int centred = request->mapTo(page, QPoint()).y();
        QCOMPARE(centred - top, std::max(0, (h - 442) / 2 - 20));
    }
};

TORVIK_TEST_MAIN(Sri4kPageTest)
#include "sri4k_page_test.moc"
