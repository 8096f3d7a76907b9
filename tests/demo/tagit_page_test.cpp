// The Tag-it page against a simulated reader holding a Tag-it HF-I Plus
// label (64 blocks, maker TI) or an I-CODE label (maker NXP).
#include "cards/iso15693_label.h"
#include "kv_commands.h"
#include "pages/tagit_page.h"
#include "support/sent_commands.h"

using torviktest::TorvikSession;

namespace {

const char* const kTagItUid = "E007000012345678";
const char* const kICodeUid = "E004010203040506";

// 64 blocks: block b holds b, ~b, 0x64, 0x3C.
QByteArray tagImage() {
    QByteArray image;
    for (int b = 0; b < 64; ++b) {
        image.append(char(b));
        image.append(char(~b));
        image.append(char(0x64));
        image.append(char(0x3C));
    }
    return image;
}

QString hexOf(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex().toUpper()); }

}  // namespace

class TagItPageTest : public QObject {
    Q_OBJECT
private slots:
    void wholeTagItLabelFillsAllRows() {
        QTemporaryDir dir;
        const QByteArray image = tagImage();
        TorvikSession s(kTagIt, {QStringLiteral("tagit:uid=%1,dump=%2").arg(kTagItUid, torviktest::writeDump(dir, image))});
        s.click(vicinity::kInventory);
        QCOMPARE(s.text(vicinity::kUid), QStringLiteral("78563412000007E0"));
        auto* page = qobject_cast<CHFTagIt*>(s.page());
        QVERIFY(page);
        QCOMPARE(page->notNxpLabel(), 1);
        s.reader()->takeRequests();
        s.click(vicinity::kBlockRead);
        QCOMPARE(s.result(), QStringLiteral("操作成功!"));
        for (int b = 0; b < CHFTagIt::kBlocks; ++b) {
            QCOMPARE(s.text(vicinity::kBlockData + b), hexOf(image.mid(4 * b, 4)));
            QCOMPARE(s.text(vicinity::kBlockStatus + b), QStringLiteral("00"));
        }
        // Five reads (14, 14, 14, 14, 8 blocks) and three security requests
        // (28, 28, 8), all with the flags 0x02.
        const auto sent = torviktest::sentCommands(*s.reader());
        std::vector<int> reads, security;
        for (const common::Command& c : sent) {
            if (c.code == kv::cmd::ISO15693_Read) reads.push_back(c.payload[9] * 100 + c.payload[10]);
            if (c.code == kv::cmd::ISO15693_Get_Block_Security) security.push_back(c.payload[9] * 100 + c.payload[10]);
            if (c.code == kv::cmd::ISO15693_Read || c.code == kv::cmd::ISO15693_Get_Block_Security)
                QCOMPARE(c.payload[0], std::uint8_t{0x02});
        }
        QCOMPARE(reads, (std::vector<int>{14, 1414, 2814, 4214, 5608}));
        QCOMPARE(security, (std::vector<int>{28, 2828, 5608}));
    }

    void nxpLabelFillsOnlyTheFirst28Rows() {
        TorvikSession s(kTagIt, {QStringLiteral("icode:uid=%1").arg(kICodeUid)});
        s.click(vicinity::kInventory);
        QCOMPARE(qobject_cast<CHFTagIt*>(s.page())->notNxpLabel(), 0);
        s.click(vicinity::kBlockRead);
        QCOMPARE(s.result(), QStringLiteral("操作成功!"));
        QCOMPARE(s.text(vicinity::kBlockData + 27), QStringLiteral("00000000"));
        QCOMPARE(s.text(vicinity::kBlockStatus + 27), QStringLiteral("00"));
        for (int b = 28; b < CHFTagIt::kBlocks; ++b) {
            QCOMPARE(s.text(vicinity::kBlockData + b), QString());
            QCOMPARE(s.text(vicinity::kBlockStatus + b), QString());
        }
    }

    void writeFlagsFollowTheMaker_data() {
        QTest::addColumn<QString>("card");
        QTest::addColumn<int>("flags");
        QTest::newRow("TI") << QStringLiteral("tagit:uid=%1").arg(kTagItUid) << 0x06;
        QTest::newRow("NXP") << QStringLiteral("icode:uid=%1").arg(kICodeUid) << 0x02;
    }
    void writeFlagsFollowTheMaker() {
        QFETCH(QString, card);
        QFETCH(int, flags);
        TorvikSession s(kTagIt, {card});
        s.click(vicinity::kInventory);
        s.reader()->takeRequests();
        s.setText(vicinity::kDsfid, QStringLiteral("A1"));
        s.click(vicinity::kDsfidWrite);
        s.setText(vicinity::kAfi, QStringLiteral("B2"));
        s.click(vicinity::kAfiWrite);
        s.click(vicinity::kDsfidLock);
        s.click(vicinity::kAfiLock);
        s.setText(vicinity::kBlockData, QStringLiteral("0badf00d"));
        s.click(vicinity::kBlockWrite);
        s.click(vicinity::kBlockLock);
        s.click(vicinity::kResetToReady);
        const auto sent = torviktest::sentCommands(*s.reader());
        QCOMPARE(sent.size(), std::size_t{7});
        for (std::size_t i = 0; i + 1 < sent.size(); ++i) QCOMPARE(int(sent[i].payload[0]), flags);
        QCOMPARE(sent.back().code, std::uint8_t{kv::cmd::ISO15693_Reset_To_Ready});
        QCOMPARE(sent.back().payload[0], std::uint8_t{0x02});
        s.reader()->withReader([](sim::Reader& r) {
            const sim::Iso15693Label* l = r.field.all<sim::Iso15693Label>().front();
            QCOMPARE(l->dsfid(), std::uint8_t{0xA1});
            QCOMPARE(l->afi(), std::uint8_t{0xB2});
            QCOMPARE(sim::Bytes(l->memory().begin(), l->memory().begin() + 4), (sim::Bytes{0x0B, 0xAD, 0xF0, 0x0D}));
            QCOMPARE(l->security(0), std::uint8_t{1});
        });
    }

    void blockLockOfTheLastBlockHoldsAcrossAFieldReset() {
        TorvikSession s(kTagIt, {QStringLiteral("tagit:uid=%1").arg(kTagItUid)});
        s.click(vicinity::kInventory);
        s.select(vicinity::kBlockList, 63);
        s.boxes().answerNext(QMessageBox::Cancel);
        s.click(vicinity::kBlockLock);
        s.reader()->withReader([](sim::Reader& r) {
            QCOMPARE(r.field.all<sim::Iso15693Label>().front()->security(63), std::uint8_t{0});
        });
        s.click(vicinity::kBlockLock);
        QCOMPARE(s.result(), QStringLiteral("操作成功!"));
        torviktest::resetField(*s.reader());
        s.click(vicinity::kInventory);
        s.click(vicinity::kBlockRead);
        QCOMPARE(s.text(vicinity::kBlockStatus + 63), QStringLiteral("01"));
        s.setText(vicinity::kBlockData + 63, QStringLiteral("01020304"));
        s.click(vicinity::kBlockWrite);
        QVERIFY(s.result().endsWith(QStringLiteral(" ,函数: ISO15693_Write")));
    }

    void gridFieldsKeepLowerCaseLetters() {
        TorvikSession s(kTagIt, {});
        auto* grid = s.find<QLineEdit>(vicinity::kBlockData + 40);
        auto* uid = s.find<QLineEdit>(vicinity::kUid);
        QTest::keyClicks(grid, QStringLiteral("ab12"));
        QTest::keyClicks(uid, QStringLiteral("ab12"));
        QCOMPARE(grid->text(), QStringLiteral("ab12"));
        QCOMPARE(uid->text(), QStringLiteral("AB12"));
        QCOMPARE(grid->maxLength(), 8);
        QCOMPARE(s.find<QLineEdit>(vicinity::kBlockStatus + 40)->maxLength(), 2);
        QCOMPARE(uid->maxLength(), 16);
        QCOMPARE(s.find<QLineEdit>(vicinity::kAfi)->maxLength(), 2);
        QCOMPARE(s.find<QComboBox>(vicinity::kBlockList)->count(), 64);
    }

    void gridIsLaidOutInFourColumnsRightOfTheUid() {
        TorvikSession s(kTagIt, {});
        CardPage* page = s.page();
        page->resize(1200, 600);
        page->layoutForScreen(800);
        auto* uid = s.find<QWidget>(vicinity::kUid);
        const QPoint uidAt = uid->mapTo(page, QPoint(0, 0));
        const int x0 = uidAt.x() + uid->width() + 10;
        const int e = (page->width() - x0 - 168) / 4;
        for (int k : {0, 17, 34, 63}) {
            const int x = x0 + (k / 16) * (e + 42);
            const int y = uidAt.y() + 22 * (k % 16);
            QCOMPARE(s.find<QWidget>(vicinity::kBlockNumber + k)->geometry(), QRect(x, y, 20, 18));
            QCOMPARE(s.find<QWidget>(vicinity::kBlockData + k)->geometry(), QRect(x + 20, y, e, 18));
            QCOMPARE(s.find<QWidget>(vicinity::kBlockStatus + k)->geometry(), QRect(x + e + 22, y, 20, 18));
        }
        QCOMPARE(s.find<QWidget>(CHFTagIt::kStatusHeading + 1)->geometry(), QRect(x0 + e + 42 + e, uidAt.y() - 20, 43, 18));
        // A wide screen moves the column (and the grid with it) down.
        page->layoutForScreen(1280);
        QVERIFY(uid->mapTo(page, QPoint(0, 0)).y() > uidAt.y());
        QCOMPARE(s.find<QWidget>(vicinity::kBlockData)->y(), uid->mapTo(page, QPoint(0, 0)).y());
    }
};

TORVIK_TEST_MAIN(TagItPageTest)
#include "tagit_page_test.moc"
