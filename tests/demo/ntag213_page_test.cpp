// The NTag213 page against a simulated reader holding an NTAG213 tag.
#include "kv_commands.h"
#include "pages/ntag213_page.h"
#include "support/sent_commands.h"
#include "support/tag_image.h"

using namespace torviktest;
using namespace ultralight;

namespace {
const char* const kUid = "04C0FFEE123456";
const char* const kSignature = "00112233445566778899AABBCCDDEEFF0123456789ABCDEFFEDCBA9876543210";
// Pages from 16 on protected against reading and writing by the password.
const QString kProtected =
    QStringLiteral("ntag213:uid=%1,pwd=11223344,pack=ABCD,auth0=16,prot=1").arg(QString::fromLatin1(kUid));
}  // namespace

class Ntag213PageTest : public QObject {
    Q_OBJECT
private slots:
    void wholeTagReadMatchesTheImage() {
        TorvikSession s(kNTag213, {QStringLiteral("ntag213:uid=%1").arg(kUid)});
        fillUserPages(*s.reader(), 4, 39);
        s.click(kRequest);
        QCOMPARE(s.text(kSerial), QString::fromLatin1(kUid));
        s.click(kRead);
        QCOMPARE(s.result(), QStringLiteral("读卡操作成功"));
        const sim::Bytes image = tagImage(*s.reader());
        for (int p = 0; p < 43; ++p) QCOMPARE(shownPage(s, p), pageHex(image, p));
        // Page 40 split 3 + 1, page 44 2 + 2; password and PACK read as zeros.
        QCOMPARE(s.text(kPageField + 40).size(), 6);
        QCOMPARE(s.text(kPageSecond + 40).size(), 2);
        QCOMPARE(shownPage(s, 43), QStringLiteral("00000000"));
        QCOMPARE(s.text(kPageField + 44), QStringLiteral("0000"));
    }

    void versionSignatureAndCounter() {
        TorvikSession s(kNTag213, {QStringLiteral("ntag213:uid=%1,signature=%2").arg(kUid, kSignature)});
        s.click(kRequest);
        s.click(CNtag213::kReadVersion);
        QCOMPARE(s.text(CNtag213::kVersion), QStringLiteral("0004040201000F03"));
        QCOMPARE(s.result(), QStringLiteral("操作成功!"));
        s.click(CNtag213::kReadSignature);
        QCOMPARE(s.text(CNtag213::kSignature), QString::fromLatin1(kSignature));
        s.click(CNtag213::kReadCounter);
        QCOMPARE(s.text(CNtag213::kCounter), QStringLiteral("000000"));
        QCOMPARE(s.result(), QStringLiteral("操作成功!"));
    }

    void informationOfAnotherTagShowsTheLabels() {
        TorvikSession s(kNTag213, {QStringLiteral("ultralight:uid=%1").arg(kUid)});
        s.click(kRequest);
        QCOMPARE(s.result(), QStringLiteral("寻卡操作成功"));
        s.setText(CNtag213::kVersion, QStringLiteral("99"));
        s.click(CNtag213::kReadVersion);
        QCOMPARE(s.text(CNtag213::kVersion), QString());
        QVERIFY(s.result().endsWith(QStringLiteral(" ,函数: rf_Ntag_get_version")));
        s.click(kRequest);
        s.click(CNtag213::kReadSignature);
        QVERIFY(s.result().endsWith(QStringLiteral(" ,函数: rf_Ntag_Get_Signature")));
        s.click(kRequest);
        s.click(CNtag213::kReadCounter);
        QVERIFY(s.result().endsWith(QStringLiteral(" ,函数: rf_Ntag_Get_Counter")));
    }

    void protectedPagesBeforeAndAfterAuthentication() {
        TorvikSession s(kNTag213, {kProtected});
        fillUserPages(*s.reader(), 4, 39);
        const sim::Bytes image = tagImage(*s.reader());
        s.click(kRequest);
        s.click(kRead);
        QVERIFY(s.result().endsWith(QStringLiteral(" ,函数: 读Page: 4 页发生错误!")));
        for (int p = 0; p < 16; ++p) QCOMPARE(shownPage(s, p), pageHex(image, p));
        QCOMPARE(shownPage(s, 16), QString());

        // A wrong password is refused and the PACK stays empty.
        s.click(kRequest);
        s.setText(CNtag213::kPassword, QStringLiteral("11223355"));
        s.click(CNtag213::kPasswordAuth);
        QVERIFY(s.result().endsWith(QStringLiteral(" ,函数: rf_Ntag213_Password_Auth")));
        QCOMPARE(s.text(CNtag213::kPack), QString());

        s.click(kRequest);
        s.setText(CNtag213::kPassword, QStringLiteral("11223344"));
        s.click(CNtag213::kPasswordAuth);
        QCOMPARE(s.result(), QStringLiteral("操作成功!"));
        QCOMPARE(s.text(CNtag213::kPack), QStringLiteral("ABCD"));
        s.click(kRead);
        QCOMPARE(s.result(), QStringLiteral("读卡操作成功"));
        for (int p = 0; p < 43; ++p) QCOMPARE(shownPage(s, p), pageHex(image, p));

        // Writing behind the password works now, and no longer after a new request.
        s.select(kWritePage, 20);
        s.setText(kPageField + 20, QStringLiteral("CAFEBABE"));
        s.click(kWrite);
        QCOMPARE(s.result(), QStringLiteral("写卡操作成功"));
        s.click(kRequest);
        s.setText(kPageField + 20, QStringLiteral("DEADBEEF"));
        s.click(kWrite);
        QVERIFY(s.result().endsWith(QStringLiteral(" ,函数: rf_Ntag213_write")));
        QCOMPARE(pageHex(tagImage(*s.reader()), 20), QStringLiteral("CAFEBABE"));
    }

    void aShortPasswordIsPaddedWithZeros() {
        TorvikSession s(kNTag213, {QStringLiteral("ntag213:uid=%1,pwd=12000000,pack=0102").arg(kUid)});
        s.click(kRequest);
        s.setText(CNtag213::kPassword, QStringLiteral("12"));
        s.reader()->takeRequests();
        s.click(CNtag213::kPasswordAuth);
        const auto auths = sentWithCode(*s.reader(), kv::cmd::rf_Ntag_Password_Auth);
        QCOMPARE(auths.size(), std::size_t{1});
        QCOMPARE(auths[0].payload, (sim::Bytes{0x12, 0, 0, 0}));
        QCOMPARE(s.text(CNtag213::kPack), QStringLiteral("0102"));
    }

    void fastReadRanges() {
        TorvikSession s(kNTag213, {QStringLiteral("ntag213:uid=%1").arg(kUid)});
        fillUserPages(*s.reader(), 4, 39);
        const sim::Bytes image = tagImage(*s.reader());
        s.click(kRequest);
        s.boxes().clear();
        s.select(CNtag213::kStartPage, 3);
        s.select(CNtag213::kEndPage, 17);
        s.setText(kPageField + 30, QStringLiteral("FFFFFFFF"));
        s.click(CNtag213::kFastRead);
        QCOMPARE(s.result(), QStringLiteral("读卡操作成功"));
        for (int p = 3; p <= 17; ++p) QCOMPARE(shownPage(s, p), pageHex(image, p));
        QCOMPARE(shownPage(s, 2), QString());
        QCOMPARE(shownPage(s, 18), QString());
        QCOMPARE(shownPage(s, 30), QString());

        s.reader()->takeRequests();
        s.select(CNtag213::kEndPage, 18);
        s.click(CNtag213::kFastRead);
        QCOMPARE(s.boxes().last().text, QStringLiteral("超出最大读取范围,最大值为15页"));
        QCOMPARE(s.boxes().last().caption, QStringLiteral("Error"));
        s.select(CNtag213::kEndPage, 2);
        s.click(CNtag213::kFastRead);
        QCOMPARE(s.boxes().last().text, QStringLiteral("结束页不能小于起始页"));
        QCOMPARE(s.boxes().count(), 2);
        QVERIFY(s.reader()->takeRequests().empty());

        s.select(CNtag213::kStartPage, 44);
        s.select(CNtag213::kEndPage, 44);
        s.click(CNtag213::kFastRead);
        QCOMPARE(s.result(), QStringLiteral("读卡操作成功"));
        QCOMPARE(s.text(kPageField + 44), QStringLiteral("0000"));
    }

    void fastReadOfProtectedPagesFailsNamingTheStart() {
        TorvikSession s(kNTag213, {kProtected});
        s.click(kRequest);
        s.select(CNtag213::kStartPage, 10);
        s.select(CNtag213::kEndPage, 20);
        s.click(CNtag213::kFastRead);
        QVERIFY(s.result().endsWith(QStringLiteral(" ,函数: 读Page: 10 页发生错误!")));
        QCOMPARE(shownPage(s, 10), QString());
    }

    void specialPagesAskBeforeWriting() {
        TorvikSession s(kNTag213, {QStringLiteral("ntag213:uid=%1").arg(kUid)});
        s.click(kRequest);
        s.reader()->takeRequests();
        for (int page : {2, 3, 40, 41, 42, 43, 44}) {
            s.select(kWritePage, page);
            s.boxes().answerNext(QMessageBox::Cancel);
            s.click(kWrite);
            QCOMPARE(s.boxes().last().text, QStringLiteral("您确定要写入该页数据吗？"));
            QCOMPARE(s.boxes().last().caption, QStringLiteral("Warning"));
            QCOMPARE(s.boxes().last().icon, QMessageBox::Warning);
        }
        QVERIFY(s.reader()->takeRequests().empty());
        s.boxes().clear();
        s.select(kWritePage, 39);
        s.click(kWrite);
        QCOMPARE(s.boxes().count(), 0);
        QCOMPARE(s.result(), QStringLiteral("写卡操作成功"));
    }

    void selectorsAndLimits() {
        TorvikSession s(kNTag213, {});
        QCOMPARE(s.find<QComboBox>(kWritePage)->currentData().toInt(), 4);
        QCOMPARE(s.find<QComboBox>(kWritePage)->count(), 43);
        QCOMPARE(s.find<QComboBox>(CNtag213::kStartPage)->currentData().toInt(), 0);
        QCOMPARE(s.find<QComboBox>(CNtag213::kEndPage)->currentData().toInt(), 15);
        QCOMPARE(s.find<QComboBox>(CNtag213::kEndPage)->count(), 45);
        QCOMPARE(s.find<QComboBox>(kSector)->count(), 255);
        QCOMPARE(s.find<QLineEdit>(CNtag213::kPassword)->maxLength(), 8);
        QCOMPARE(s.find<QLineEdit>(kPageField + 40)->maxLength(), 6);
        QCOMPARE(s.find<QLineEdit>(kPageSecond + 40)->maxLength(), 2);
        QCOMPARE(s.find<CTransFrm>(CNtag213::kInformationFrame)->caption(), QStringLiteral("读取版本计数签名"));
    }
};

TORVIK_TEST_MAIN(Ntag213PageTest)
#include "ntag213_page_test.moc"
