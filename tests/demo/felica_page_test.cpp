// The FeliCa page against the simulated reader: the card number of the IDm,
// three attempts at most, short answers retried and never shown as success.
#include "pages/felica_page.h"
#include "support/chip_pages.h"

using chiptest::refused;
using torviktest::TorvikSession;

namespace {

// rf_felica_get_uid answering 5 bytes for the first `shortAnswers` calls.
int (*realGetUid)(int, unsigned char*, int*) = nullptr;
int calls = 0;
int shortAnswers = 0;
int KV_STDCALL shortGetUid(int address, unsigned char* uid, int* length) {
    if (calls++ < shortAnswers) {
        *length = 5;
        return 1;  // the library's answer to a reply of the wrong length
    }
    return realGetUid(address, uid, length);
}

struct ShortAnswers {
    ShortAnswers(TorvikSession& s, int count) : wrapped(s) {
        realGetUid = wrapped.api.rf_felica_get_uid;
        wrapped.api.rf_felica_get_uid = shortGetUid;
        calls = 0;
        shortAnswers = count;
    }
    chiptest::WrappedContext wrapped;
};

}  // namespace

class FelicaPageTest : public QObject {
    Q_OBJECT

private slots:
    void showsTheCardNumber() {
        TorvikSession s(kFelica, {QStringLiteral("felica:uid=0A0B112233445566")});
        s.setText(CFelica::kUid, QStringLiteral("0102"));
        s.reader()->takeRequests();
        s.click(CFelica::kRequest);
        QCOMPARE(s.result(), QStringLiteral("获取UID成功"));
        QCOMPARE(s.text(CFelica::kUid), QStringLiteral("112233445566"));
        const auto frames = s.reader()->takeRequests();
        QCOMPARE(chiptest::countRequests(frames, 0x3A, {0x43}), 1);  // rf_init_type, FeliCa
        QCOMPARE(chiptest::countRequests(frames, 0x81), 1);
    }

    void noCardMeansThreeAttempts() {
        TorvikSession s(kFelica);
        s.setText(CFelica::kUid, QStringLiteral("0102"));
        s.reader()->takeRequests();
        s.click(CFelica::kRequest);
        QCOMPARE(chiptest::countRequests(s.reader()->takeRequests(), 0x81), 3);
        QVERIFY(refused(s.result(), "rf_felica_get_uid"));
        QCOMPARE(s.text(CFelica::kUid), QString());
    }

    void shortAnswersAreRetried() {
        TorvikSession s(kFelica, {QStringLiteral("felica:uid=0A0B112233445566")});
        {
            ShortAnswers two(s, 2);
            CFelica page(*two.wrapped.context);
            page.RequestCard();
            QCOMPARE(calls, 3);
            QCOMPARE(s.result(), QStringLiteral("获取UID成功"));
            QCOMPARE(findById<CHexEdit>(&page, CFelica::kUid)->text(), QStringLiteral("112233445566"));
        }
        ShortAnswers always(s, 10);
        CFelica page(*always.wrapped.context);
        page.RequestCard();
        QCOMPARE(calls, 3);
        QCOMPARE(s.result(), QStringLiteral("Error: 1 ,函数: rf_felica_get_uid"));
        QCOMPARE(findById<CHexEdit>(&page, CFelica::kUid)->text(), QString());
    }

    void nothingIsSentWhileDisconnected() {
        TorvikSession s(kFelica, {QStringLiteral("felica")});
        s.trigger(MainWindow::kDisconnect);
        s.reader()->takeRequests();
        s.click(CFelica::kRequest);
        QCOMPARE(s.result(), QStringLiteral("Error: 设备未连接"));
        QVERIFY(s.reader()->takeRequests().empty());
    }
};

TORVIK_TEST_MAIN(FelicaPageTest)
#include "felica_page_test.moc"
