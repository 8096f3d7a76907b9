// The command book: its file format, the add rule (no repeat of the last
// entry, at most 201 entries), files that end early or are no book, a save
// that fails, and the dialog that lists a book.
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

#include "books/books.h"
#include "books/display_cos.h"
#include "controls/own_list_box.h"
#include "support/torvik_session.h"

namespace {

QByteArray fromHex(const char* hex) { return QByteArray::fromHex(hex); }

QStringList commands(int from, int to) {
    QStringList list;
    for (int i = from; i <= to; ++i) list << QStringLiteral("00B0%1").arg(i, 4, 16, QLatin1Char('0')).toUpper();
    return list;
}

bool writeFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes beyond `bytes` fail in this process (as on a full disk) while it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

}  // namespace

class BooksTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString path(const char* name = "book.j") const { return dir_.filePath(QString::fromLatin1(name)); }

private slots:
    void addSkipsARepeatOfTheLastEntryOnly() {
        CBooks book;
        for (const char* entry : {"0084000008", "0084000008", "00A4000002DF01", "0084000008", "", ""})
            book.Add(QString::fromLatin1(entry));
        QCOMPARE(book.entries(), QStringList({"0084000008", "00A4000002DF01", "0084000008", ""}));
    }

    void keepsTheNewest201() {
        CBooks book;
        for (const QString& entry : commands(1, 205)) book.Add(entry);
        QCOMPARE(book.count(), 201);
        QCOMPARE(book.entries(), commands(5, 205));
    }

    // Byte layout: count, then length and text of each entry, little-endian.
    void fileLayout() {
        CBooks book;
        book.Add(QStringLiteral("00A4"));
        book.Add(QString());
        book.Add(QStringLiteral("0084000008"));
        QVERIFY(book.Save(path()));
        QCOMPARE(readFile(path()), fromHex("03000000" "04000000") + "00A4" + fromHex("00000000" "0a000000") +
                                       "0084000008");
        CBooks again;
        QCOMPARE(again.Load(path()), CBooks::LoadResult::loaded);
        QCOMPARE(again.entries(), book.entries());
    }

    void loadingAppliesTheAddRule() {
        QByteArray data = fromHex("04000000");
        for (const char* entry : {"9000", "9000", "6A82", "9000"})
            data += fromHex("04000000") + QByteArray(entry);
        QVERIFY(writeFile(path(), data));
        CBooks book;
        QCOMPARE(book.Load(path()), CBooks::LoadResult::loaded);
        QCOMPARE(book.entries(), QStringList({"9000", "6A82", "9000"}));

        QVERIFY(writeFile(path(), CBooks::serialize(commands(1, 205))));
        QCOMPARE(book.Load(path()), CBooks::LoadResult::loaded);
        QCOMPARE(book.entries(), commands(5, 205));
    }

    void missingFileGivesAnEmptyBook() {
        CBooks book;
        book.Add(QStringLiteral("00"));
        QCOMPARE(book.Load(path("none.j")), CBooks::LoadResult::missing);
        QCOMPARE(book.count(), 0);
    }

    // A file cut short keeps its complete entries and nothing more.
    void truncatedFileKeepsCompleteEntries() {
        const QByteArray whole = CBooks::serialize({"00A40000023F00", "0084000008", "00B0000010"});
        CBooks book;
        // Cut inside the third text, inside its length, and right after the second.
        for (int cut : {int(whole.size()) - 3, 4 + 18 + 14 + 2, 4 + 18 + 14}) {
            QVERIFY(writeFile(path(), whole.left(cut)));
            QCOMPARE(book.Load(path()), CBooks::LoadResult::truncated);
            QCOMPARE(book.entries(), QStringList({"00A40000023F00", "0084000008"}));
        }
        // A length that reaches past the end is not read at all.
        QVERIFY(writeFile(path(), fromHex("02000000" "02000000") + "90" + fromHex("f0ffff7f") + "6A82"));
        QCOMPARE(book.Load(path()), CBooks::LoadResult::truncated);
        QCOMPARE(book.entries(), QStringList({"90"}));
    }

    void fileThatIsNoBookIsRefused_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("three bytes") << fromHex("010000");
        QTest::newRow("huge count") << fromHex("ffffff7f" "04000000") + "9000";
        QTest::newRow("negative count") << fromHex("ffffffff");
        QTest::newRow("negative length") << fromHex("02000000" "02000000") + "90" + fromHex("feffffff") + "00";
        QTest::newRow("text, not hex") << QByteArray("#!/bin/sh\necho this is no book of commands\n");
        QTest::newRow("binary") << fromHex("02000000" "04000000" "00a40000" "03000000" "ff00fe");
    }
    void fileThatIsNoBookIsRefused() {
        QFETCH(QByteArray, data);
        QVERIFY(writeFile(path(), data));
        CBooks book;
        book.Add(QStringLiteral("0084000008"));
        QCOMPARE(book.Load(path()), CBooks::LoadResult::refused);
        QCOMPARE(book.count(), 0);
    }

    // The previous book stays whole when the new one cannot be written:
    // neither a full disk nor a missing folder touches it.
    void failedSaveKeepsThePreviousBook() {
        CBooks old;
        old.Add(QStringLiteral("0084000008"));
        QVERIFY(old.Save(path()));
        const QByteArray before = readFile(path());
        CBooks bigger;
        for (const QString& entry : commands(1, 201)) bigger.Add(entry);
        {
            FileSizeLimit limit(64);
            QVERIFY(!bigger.Save(path()));
        }
        QCOMPARE(readFile(path()), before);
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"book.j"}));
        QVERIFY(!bigger.Save(dir_.filePath(QStringLiteral("no/such/folder/book.j"))));
        QVERIFY(bigger.Save(path()));
        QCOMPARE(readFile(path()), CBooks::serialize(commands(1, 201)));
    }

    void dialogListsTheBookWithTheLastSelected() {
        CBooks book;
        book.Add(QStringLiteral("0084000008"));
        book.Add(QStringLiteral("00A4000002DF01"));
        CDisplayCos dialog(book, 0, nullptr);
        QCOMPARE(dialog.objectName(), QStringLiteral("139"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("COS命令"));
        QCOMPARE(dialog.findChild<QPushButton*>(QStringLiteral("1066"))->text(), QStringLiteral("清除COS命令"));
        QCOMPARE(dialog.findChild<QPushButton*>(QStringLiteral("1063"))->text(), QStringLiteral("退出"));
        COwnListBox* list = dialog.list();
        QCOMPARE(list->objectName(), QStringLiteral("1062"));
        QCOMPARE(list->lineHeight(), 18);
        QVERIFY(!list->tipsEnabled());
        QCOMPARE(list->items(), book.entries());
        const QModelIndexList selected = list->selectionModel()->selectedRows();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.front().row(), 1);
        CDisplayCos english(book, 1, nullptr);
        QCOMPARE(english.windowTitle(), QStringLiteral("COS Command"));
        QCOMPARE(english.findChild<QPushButton*>(QStringLiteral("1066"))->text(), QStringLiteral("Clear COS"));
    }

    void doubleClickPicksAndCloses() {
        CBooks book;
        book.Add(QStringLiteral("0084000008"));
        book.Add(QStringLiteral("00A4000002DF01"));
        CDisplayCos dialog(book, 0, nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QSignalSpy picked(&dialog, &CDisplayCos::commandPicked);
        COwnListBox* list = dialog.list();
        // Press, release, then the second press as a double-click.
        const QPoint line = list->visualRect(list->model()->index(0, 0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, line);
        QCOMPARE(picked.size(), 1);
        QCOMPARE(picked.front().front().toString(), QStringLiteral("0084000008"));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(book.count(), 2);
    }

    void clearEmptiesBookAndList() {
        CBooks book;
        book.Add(QStringLiteral("0084000008"));
        CDisplayCos dialog(book, 0, nullptr);
        dialog.findChild<QPushButton*>(QStringLiteral("1066"))->click();
        QCOMPARE(book.count(), 0);
        QCOMPARE(dialog.list()->count(), 0);
        QVERIFY(book.Save(path()));
        QCOMPARE(readFile(path()), fromHex("00000000"));
    }
};

TORVIK_TEST_MAIN(BooksTest)
#include "books_test.moc"
