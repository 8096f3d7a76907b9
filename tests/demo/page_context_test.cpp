// What pages reach through their context: the message table in both
// languages, the connection rule, reports, message boxes and data files.
#include <QTemporaryDir>

#include "support/torvik_session.h"

using torviktest::MessageBoxes;

namespace {

// A context over a bare result strip, without a library.
struct Bench {
    explicit Bench(int language = 0, QString programDir = QString()) : strip(language) {
        state.language = language;
        context = std::make_unique<PageContext>(api, state, strip, nullptr, programDir, [this] { ++titles; });
    }
    ReaderApi api;
    AppState state;
    ResultStrip strip;
    int titles = 0;
    std::unique_ptr<PageContext> context;
};

}  // namespace

class PageContextTest : public QObject {
    Q_OBJECT

private slots:
    void messageTableColumns() {
        QCOMPARE(MessageTable::text(0, 0), QStringLiteral("连接设备失败!"));
        QCOMPARE(MessageTable::text(0, 1), QStringLiteral("Connect device failed!"));
        QCOMPARE(MessageTable::text(13, 0), QStringLiteral("读Page: %d 页发生错误!"));
        QCOMPARE(MessageTable::text(70, 0), QStringLiteral("CPU大卡座VG不短路"));
        QCOMPARE(MessageTable::text(70, 1), QStringLiteral("Contact card base VG not short"));
        QCOMPARE(MessageTable::text(71, 0), QString());
        QCOMPARE(MessageTable::text(-1, 1), QString());
        Bench english(1);
        QCOMPARE(english.context->message(2), QStringLiteral("Cannot connect to device"));
        QCOMPARE(english.context->text({"读卡", "Read Card"}), QStringLiteral("Read Card"));
    }

    void notConnectedRule() {
        Bench b;
        QVERIFY(!b.context->requireConnected());
        QCOMPARE(b.strip.text(), QStringLiteral("Error: 设备未连接"));
        QVERIFY(b.strip.showsError());
        b.strip.clear();
        b.state.setConnected(true);
        QVERIFY(b.context->requireConnected());
        QCOMPARE(b.strip.text(), QString());
    }

    void reportPicksStripOrMessage() {
        Bench b;
        QVERIFY(b.context->report(0, QStringLiteral("rf_beep"), 34));
        QCOMPARE(b.strip.text(), QStringLiteral("设置蜂鸣时间操作成功"));
        QVERIFY(!b.context->report(0x0a, QStringLiteral("rf_beep"), 34));
        QCOMPARE(b.strip.text(), QStringLiteral("Error: a ,函数: rf_beep"));
        b.context->refreshTitle();
        QCOMPARE(b.titles, 1);
    }

    void messageBoxes() {
        Bench b;
        MessageBoxes boxes;
        b.context->errorBoxEntry(25, QStringLiteral("error"));
        QCOMPARE(boxes.last().caption, QStringLiteral("error"));
        QCOMPARE(boxes.last().text, QStringLiteral("cos命令不得少于5字节!"));
        QCOMPARE(boxes.last().icon, QMessageBox::Critical);
        b.context->warningBox(b.context->message(5));
        QCOMPARE(boxes.last().caption, QStringLiteral("Warning"));
        QCOMPARE(boxes.last().icon, QMessageBox::Warning);
        QVERIFY(b.context->confirm(b.context->message(11)));
        QCOMPARE(boxes.last().buttons, QMessageBox::Ok | QMessageBox::Cancel);
        boxes.answerNext(QMessageBox::Cancel);
        QVERIFY(!b.context->confirm(b.context->message(21), QMessageBox::Question));
        QCOMPARE(boxes.last().icon, QMessageBox::Question);
        QCOMPARE(boxes.count(), 4);
    }

    void dataFilesBesideTheProgramOrInTheUserFolder() {
        QTemporaryDir program;
        Bench writable(0, program.path());
        QCOMPARE(writable.context->dataFilePath(QStringLiteral("SamCosBooks.j")),
                 program.filePath(QStringLiteral("SamCosBooks.j")));
        Bench readOnly(0, QStringLiteral("/proc"));
        const QString path = readOnly.context->dataFilePath(QStringLiteral("SamCosBooks.j"));
        QVERIFY2(path.startsWith(QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME"))), qPrintable(path));
        QVERIFY(path.endsWith(QStringLiteral("/SamCosBooks.j")));
    }

    void registryRows() {
        QCOMPARE(int(pageRows().size()), 15);
        for (int type = 0; type < kCardTypeCount; ++type) QCOMPARE(pageRow(type).cardType, type);
        QCOMPARE(pageRow(15).cardType, int(kMifare1K));
        QCOMPARE(pageRow(-3).cardType, int(kMifare1K));
        QCOMPARE(pageRowForCommand(32918)->cardType, int(kNTag213));
        QCOMPARE(pageRowForCommand(32813), nullptr);
        QCOMPARE(pageRow(kSRI4K).placement, Placement::WholeView);
        QCOMPARE(pageRow(kTagIt).placement, Placement::WholeView);
        QCOMPARE(pageRow(kICode).placement, Placement::Centred);
    }
};

TORVIK_TEST_MAIN(PageContextTest)
#include "page_context_test.moc"
