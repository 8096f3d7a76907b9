// The NTag203F page against a simulated reader holding an NTAG203 tag.
#include "kv_commands.h"
#include "pages/ntag203f_page.h"
#include "support/sent_commands.h"
#include "support/tag_image.h"

using namespace torviktest;
using namespace ultralight;

namespace {
const char* const kUid = "04A1B2C3D4E5F6";
}

class NTag203FPageTest : public QObject {
    Q_OBJECT
private slots:
    void wholeTagReadMatchesTheImage() {
        TorvikSession s(kNTag203F, {QStringLiteral("ntag203:uid=%1").arg(kUid)});
        fillUserPages(*s.reader(), 4, 39);
        s.click(kRequest);
        QCOMPARE(s.text(kSerial), QString::fromLatin1(kUid));
        QCOMPARE(s.result(), QStringLiteral("寻卡操作成功"));
        s.reader()->takeRequests();
        s.click(kRead);
        QCOMPARE(s.result(), QStringLiteral("读卡操作成功"));
        const sim::Bytes image = tagImage(*s.reader());
        for (int p = 0; p < 42; ++p) QCOMPARE(shownPage(s, p), pageHex(image, p));
        // Page 3 is the capability container of a factory tag.
        QCOMPARE(s.text(kPageField + 3), QStringLiteral("E1101200"));
        QCOMPARE(s.text(kPageField + 40).size(), 4);
        QCOMPARE(s.text(kPageSecond + 41).size(), 4);
        // Eleven passes of four pages, the last at page 40.
        const auto reads = sentWithCode(*s.reader(), kv::cmd::rf_M1_read);
        QVERIFY(reads.size() >= 11);
        for (int k = 0; k < 11; ++k) QCOMPARE(int(reads[k].payload[0]), 4 * k);
    }

    void readWhileDisconnectedSaysThePortIsClosed() {
        TorvikSession s(kNTag203F, {QStringLiteral("ntag203:uid=%1").arg(kUid)});
        s.trigger(32814);  // disconnect
        s.reader()->takeRequests();
        s.click(kRead);
        QCOMPARE(s.result(), QStringLiteral("Error: 端口未打开"));
        s.click(kWrite);
        QCOMPARE(s.result(), QStringLiteral("Error: 设备未连接"));
        s.click(kSelectSector);
        QCOMPARE(s.result(), QStringLiteral("Error: 设备未连接"));
        QVERIFY(s.reader()->takeRequests().empty());
    }

    void pageTwoIsWrittenWithoutAQuestion() {
        TorvikSession s(kNTag203F, {QStringLiteral("ntag203:uid=%1").arg(kUid)});
        s.click(kRequest);
        s.boxes().clear();
        s.select(kWritePage, 2);
        s.setText(kPageSecond + 2, QStringLiteral("0800"));  // locks page 3
        s.reader()->takeRequests();
        s.click(kWrite);
        QCOMPARE(s.boxes().count(), 0);
        QCOMPARE(s.result(), QStringLiteral("写卡操作成功"));
        const auto writes = sentWithCode(*s.reader(), kv::cmd::rf_ul_write);
        QCOMPARE(writes.size(), std::size_t{1});
        QCOMPARE(writes[0].payload[0], std::uint8_t{2});
        QCOMPARE(writes[0].payload[3], std::uint8_t{0x08});
        QCOMPARE(writes[0].payload[4], std::uint8_t{0x00});
    }

    void splitPagesAreWrittenFromBothFields() {
        TorvikSession s(kNTag203F, {QStringLiteral("ntag203:uid=%1").arg(kUid)});
        s.click(kRequest);
        s.select(kWritePage, 40);
        s.setText(kPageField + 40, QStringLiteral("0102"));
        s.setText(kPageSecond + 40, QStringLiteral("0304"));
        s.reader()->takeRequests();
        s.click(kWrite);
        const auto writes = sentWithCode(*s.reader(), kv::cmd::rf_ul_write);
        QCOMPARE(writes.size(), std::size_t{1});
        QCOMPARE(writes[0].payload, (sim::Bytes{40, 0x01, 0x02, 0x03, 0x04}));
    }

    void dynamicLockHoldsAfterTheNextRequest() {
        TorvikSession s(kNTag203F, {QStringLiteral("ntag203:uid=%1").arg(kUid)});
        s.click(kRequest);
        // Dynamic lock byte 0: bit 1 locks pages 16-19, bit 0 freezes bits 1-3.
        s.select(kWritePage, 40);
        s.setText(kPageField + 40, QStringLiteral("0300"));
        s.click(kWrite);
        QCOMPARE(s.result(), QStringLiteral("写卡操作成功"));
        s.click(kRequest);
        s.select(kWritePage, 17);
        s.setText(kPageField + 17, QStringLiteral("11111111"));
        s.click(kWrite);
        QVERIFY(s.result().endsWith(QStringLiteral(" ,函数: rf_Ntag203F_write")));
        s.click(kRequest);
        s.select(kWritePage, 24);
        s.setText(kPageField + 24, QStringLiteral("24242424"));
        s.click(kWrite);
        QCOMPARE(s.result(), QStringLiteral("写卡操作成功"));
        const sim::Bytes image = tagImage(*s.reader());
        QCOMPARE(pageHex(image, 17), QStringLiteral("00000000"));
        QCOMPARE(pageHex(image, 24), QStringLiteral("24242424"));
    }

    void sectorSelection() {
        TorvikSession s(kNTag203F, {QStringLiteral("ntag203:uid=%1").arg(kUid)});
        auto* sectors = s.find<QComboBox>(kSector);
        QCOMPARE(sectors->count(), 255);
        QCOMPARE(sectors->currentData().toInt(), 0);
        auto* pages = s.find<QComboBox>(kWritePage);
        QCOMPARE(pages->currentData().toInt(), 4);
        QCOMPARE(pages->itemData(pages->count() - 1).toInt(), 41);
        s.click(kRequest);
        s.reader()->takeRequests();
        s.click(kSelectSector);
        QCOMPARE(s.result(), QStringLiteral("操作成功!"));
        s.select(kSector, 254);
        s.click(kSelectSector);
        QVERIFY(s.result().endsWith(QStringLiteral(" ,函数: rf_NFC_Select_Sector")));
        const auto selects = sentWithCode(*s.reader(), kv::cmd::rf_NFC_Select_Sector);
        QCOMPARE(selects.size(), std::size_t{2});
        QCOMPARE(selects[1].payload, sim::Bytes{254});
    }
};

TORVIK_TEST_MAIN(NTag203FPageTest)
#include "ntag203f_page_test.moc"
