// The UltraLight page against a simulated reader holding an Ultralight (or,
// for protected pages, an Ultralight C) tag.
#include "kv_commands.h"
#include "pages/ultralight_page.h"
#include "support/sent_commands.h"
#include "support/tag_image.h"

using namespace torviktest;
using namespace ultralight;

namespace {
const char* const kUid = "04112233445566";
}

class UltraLightPageTest : public QObject {
    Q_OBJECT
private slots:
    void requestShowsTheSerialNumber() {
        TorvikSession s(kUltraLight, {QStringLiteral("ultralight:uid=%1").arg(kUid)});
        s.setText(kPageField + 5, QStringLiteral("12345678"));
        s.click(kRequest);
        QCOMPARE(s.text(kSerial), QString::fromLatin1(kUid));
        QCOMPARE(s.text(kPageField + 5), QString());
        QCOMPARE(s.result(), QStringLiteral("寻卡操作成功"));
    }

    void requestWithoutTagTriesTwice() {
        TorvikSession s(kUltraLight, {});
        s.reader()->takeRequests();
        s.click(kRequest);
        QCOMPARE(sentWithCode(*s.reader(), kv::cmd::rf_request).size(), std::size_t{2});
        QVERIFY(s.result().endsWith(QStringLiteral(" ,函数: rf_request")));
        QCOMPARE(s.text(kSerial), QString());
    }

    void wholeTagReadMatchesTheImage() {
        TorvikSession s(kUltraLight, {QStringLiteral("ultralight:uid=%1").arg(kUid)});
        fillUserPages(*s.reader(), 4, 15);
        s.click(kRequest);
        s.click(kRead);
        QCOMPARE(s.result(), QStringLiteral("读卡操作成功"));
        const sim::Bytes image = tagImage(*s.reader());
        for (int p = 0; p < 16; ++p) QCOMPARE(shownPage(s, p), pageHex(image, p));
        // Page 2: serial byte and internal byte, then the two lock bytes.
        QCOMPARE(s.text(kPageField + 2).size(), 4);
        QCOMPARE(s.text(kPageSecond + 2).size(), 4);
    }

    void aFailedFourthPassKeepsTwelvePages() {
        // Pages from 12 on can be read only after authentication.
        TorvikSession s(kUltraLight, {QStringLiteral("ultralightc:uid=%1,auth0=12,readprotect=1").arg(kUid)});
        fillUserPages(*s.reader(), 4, 11);
        s.click(kRequest);
        s.click(kRead);
        QVERIFY(s.result().startsWith(QStringLiteral("Error: ")));
        QVERIFY(s.result().endsWith(QStringLiteral(" ,函数: 读Page: 3 页发生错误!")));
        const sim::Bytes image = tagImage(*s.reader());
        for (int p = 0; p < 12; ++p) QCOMPARE(shownPage(s, p), pageHex(image, p));
        for (int p = 12; p < 16; ++p) QCOMPARE(shownPage(s, p), QString());
    }

    void aReadNeverShowsPageZeroAgainAsAProtectedPage() {
        // From page 14 on the tag answers nothing unauthenticated; a read at
        // page 12 rolls over to page 0 after page 13.
        TorvikSession s(kUltraLight, {QStringLiteral("ultralightc:uid=%1,auth0=14,readprotect=1").arg(kUid)});
        fillUserPages(*s.reader(), 4, 13);
        s.click(kRequest);
        s.click(kRead);
        QVERIFY(s.result().startsWith(QStringLiteral("Error: ")));
        QVERIFY(s.result().endsWith(QStringLiteral(" ,函数: 读Page: 3 页发生错误!")));
        const sim::Bytes image = tagImage(*s.reader());
        for (int p = 0; p < 14; ++p) QCOMPARE(shownPage(s, p), pageHex(image, p));
        QCOMPARE(shownPage(s, 14), QString());
        QCOMPARE(shownPage(s, 15), QString());
        // The tag is left selected: a write goes through.
        s.select(kWritePage, 13);
        s.setText(kPageField + 13, QStringLiteral("0D0D0D0D"));
        s.click(kWrite);
        QCOMPARE(s.result(), QStringLiteral("写卡操作成功"));
    }

    void readWhileDisconnectedShowsTheLibraryFailure() {
        TorvikSession s(kUltraLight, {QStringLiteral("ultralight:uid=%1").arg(kUid)});
        s.trigger(32814);  // disconnect
        s.click(kRead);
        QVERIFY(s.result().startsWith(QStringLiteral("Error: ")));
        QVERIFY(s.result().endsWith(QStringLiteral(" ,函数: 读Page: 0 页发生错误!")));
    }

    void writeSelectorStartsAtPageFour() {
        TorvikSession s(kUltraLight, {});
        auto* pages = s.find<QComboBox>(kWritePage);
        QCOMPARE(pages->currentIndex(), 2);
        QCOMPARE(pages->currentData().toInt(), 4);
        QCOMPARE(pages->count(), 14);
        QCOMPARE(pages->itemData(13).toInt(), 15);
        QCOMPARE(s.find<QLineEdit>(kPageField + 2)->maxLength(), 4);
        QCOMPARE(s.find<QLineEdit>(kPageSecond + 2)->maxLength(), 4);
        QCOMPARE(s.find<QLineEdit>(kPageField + 15)->maxLength(), 8);
        QCOMPARE(s.find<QLineEdit>(kSerial)->maxLength(), 14);
        QVERIFY(!s.find<QLineEdit>(kPageSecond + 3));
    }

    void aShortFieldIsWrittenWithZeros() {
        TorvikSession s(kUltraLight, {QStringLiteral("ultralight:uid=%1").arg(kUid)});
        s.click(kRequest);
        s.setText(kPageField + 4, QStringLiteral("ABCD"));
        s.reader()->takeRequests();
        s.click(kWrite);
        QCOMPARE(s.result(), QStringLiteral("写卡操作成功"));
        const auto writes = sentWithCode(*s.reader(), kv::cmd::rf_ul_write);
        QCOMPARE(writes.size(), std::size_t{1});
        QCOMPARE(writes[0].payload, (sim::Bytes{4, 0xAB, 0xCD, 0x00, 0x00}));
        QCOMPARE(pageHex(tagImage(*s.reader()), 4), QStringLiteral("ABCD0000"));
    }

    void lockBitsHoldAfterTheNextRequest() {
        TorvikSession s(kUltraLight, {QStringLiteral("ultralight:uid=%1").arg(kUid)});
        s.click(kRequest);
        // Page 2 is written without a question on this page: lock pages 4-7.
        s.select(kWritePage, 2);
        s.setText(kPageSecond + 2, QStringLiteral("F000"));
        s.click(kWrite);
        QCOMPARE(s.result(), QStringLiteral("写卡操作成功"));
        QCOMPARE(s.boxes().last().caption, QStringLiteral("ConnectOK"));
        s.click(kRequest);
        s.select(kWritePage, 5);
        s.setText(kPageField + 5, QStringLiteral("01020304"));
        s.click(kWrite);
        QVERIFY(s.result().endsWith(QStringLiteral(" ,函数: rf_ul_write")));
        s.click(kRequest);
        s.click(kRead);
        QCOMPARE(s.text(kPageSecond + 2), QStringLiteral("F000"));
        QCOMPARE(s.text(kPageField + 5), QStringLiteral("00000000"));
        // Pages 8-15 are still open.
        s.select(kWritePage, 8);
        s.setText(kPageField + 8, QStringLiteral("08080808"));
        s.click(kWrite);
        QCOMPARE(s.result(), QStringLiteral("写卡操作成功"));
    }
};

TORVIK_TEST_MAIN(UltraLightPageTest)
#include "ultralight_page_test.moc"
