// Start-up and exit: loading and binding the library, the stored settings
// with their two kinds of default, AppConfig.ini, the language option.
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "shell/app_config.h"
#include "shell/reader_library.h"
#include "support/torvik_session.h"

using torviktest::MessageBoxes;

namespace {

void writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// A settings file holding exactly these lines.
SettingsStore storeWith(const QTemporaryDir& dir, const QByteArray& lines) {
    const QString path = dir.filePath(QStringLiteral("Zimbrel.ini"));
    writeFile(path, "[General]\n" + lines);
    return SettingsStore(path);
}

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void missingLibraryEndsTheStart() {
        QTemporaryDir empty;
        MessageBoxes boxes;
        TorvikApp app({empty.path(), 0, false});
        QVERIFY(!app.start());
        QVERIFY(!app.mainWindow());
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().caption, QStringLiteral("Torvik"));
        QCOMPARE(boxes.last().text, QStringLiteral("Load KovalinkHID.dll failed !"));
    }

    void libraryLackingOneNameEndsTheStart() {
        QString why;
        ReaderLibrary library;
        QVERIFY(!library.load(QStringLiteral(TORVIK_STUB_DIR), &why));
        QVERIFY2(why.endsWith(QStringLiteral("lacks rf_ContactCpuCard_In_Check")), qPrintable(why));
        QVERIFY(!library.api().complete());

        MessageBoxes boxes;
        TorvikApp app({QStringLiteral(TORVIK_STUB_DIR), 0, false});
        QVERIFY(!app.start());
        QCOMPARE(boxes.last().text, QStringLiteral("Load KovalinkHID.dll failed !"));
    }

    void builtLibraryBindsAllNinetyOneNames() {
        static_assert(ReaderApi::kCount == 91);
        ReaderLibrary library;
        QString why;
        QVERIFY2(library.load(torviktest::outDir(), &why), qPrintable(why));
        QVERIFY(library.api().complete());
        int version = 0;
        QCOMPARE(library.api().lib_ver(&version), 0);
        QCOMPARE(version, 19);
    }

    void installedLayoutFindsTheLibraryInLib() {
        // prefix/bin/torvik with prefix/lib/libKovalinkHID.so (and its transport).
        QTemporaryDir prefix;
        QVERIFY(QDir(prefix.path()).mkpath(QStringLiteral("bin")) && QDir(prefix.path()).mkpath(QStringLiteral("lib")));
        for (const char* name : {"libKovalinkHID.so", "libTavoHID.so"})
            QVERIFY(QFile::link(QDir(torviktest::outDir()).filePath(QLatin1String(name)),
                                prefix.filePath(QStringLiteral("lib/") + QLatin1String(name))));
        ReaderLibrary library;
        QString why;
        QVERIFY2(library.load(prefix.filePath(QStringLiteral("bin")), &why), qPrintable(why));
        QCOMPARE(library.path(), prefix.filePath(QStringLiteral("lib/libKovalinkHID.so")));
    }

    void failedStartStillStoresTheSettings() {
        QTemporaryDir dir, empty;
        const SettingsStore store = storeWith(dir, "CurCard=12\nComPort=7\nBaudRate=8\n");
        MessageBoxes boxes;
        {
            TorvikApp app({empty.path(), 0, false}, store);
            QVERIFY(!app.start());
        }
        const StoredSettings values = store.load();
        QCOMPARE(values.curCard, 12);
        QCOMPARE(values.vid, 7);
        QCOMPARE(values.pid, 8);
    }

    void settingsDefaults_data() {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<int>("curCard");
        QTest::addColumn<int>("vid");
        QTest::addColumn<int>("pid");
        QTest::newRow("values missing") << QByteArray("Other=1\n") << 1 << 0 << 1;
        QTest::newRow("stored values") << QByteArray("CurCard=12\nComPort=6790\nBaudRate=57360\n") << 12 << 6790 << 57360;
        QTest::newRow("not numbers") << QByteArray("CurCard=abc\nComPort=x\nBaudRate=1.5\n") << 1 << 0 << 1;
        QTest::newRow("card type too large") << QByteArray("CurCard=15\n") << 1 << 0 << 1;
        QTest::newRow("negative card type") << QByteArray("CurCard=-1\n") << 1 << 0 << 1;
        QTest::newRow("last card type") << QByteArray("CurCard=14\n") << 14 << 0 << 1;
    }
    void settingsDefaults() {
        QFETCH(QByteArray, lines);
        QTemporaryDir dir;
        const StoredSettings values = storeWith(dir, lines).load();
        QTEST(values.curCard, "curCard");
        QTEST(values.vid, "vid");
        QTEST(values.pid, "pid");
    }

    void settingsFileMissingGivesOtherDefaults() {
        QTemporaryDir dir;
        const StoredSettings values = SettingsStore(dir.filePath(QStringLiteral("none.ini"))).load();
        QCOMPARE(values.curCard, 1);
        QCOMPARE(values.vid, 0);
        QCOMPARE(values.pid, 0);
    }

    void settingsAreStoredAsNumbers() {
        QTemporaryDir dir;
        const SettingsStore store(dir.filePath(QStringLiteral("Norvesta/Zimbrel.ini")));
        QVERIFY(store.store({10, 0x1A86, 0xE010}));
        QFile file(store.fileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY2(text.contains("CurCard=10") && text.contains("ComPort=6790") && text.contains("BaudRate=57360"),
                 text.constData());
    }

    void unwritableSettingsAreLostQuietly() {
        const SettingsStore store(QStringLiteral("/proc/torvik-no-such-dir/Zimbrel.ini"));
        QVERIFY(!store.store({3, 1, 2}));
    }

    void settingsFollowTheUserConfigFolder() {
        QCOMPARE(SettingsStore().fileName(),
                 QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + QStringLiteral("/Norvesta/Zimbrel.ini"));
    }

    void appConfigMissingGivesBuiltInTexts() {
        QTemporaryDir dir;
        const AppConfig config(dir.path());
        QCOMPARE(config.info(AppConfig::SoftwareName), QStringLiteral("Torvik演示软件"));
        QCOMPARE(config.info(AppConfig::Version), QStringLiteral("演示软件版本V1.5"));
        QCOMPARE(config.info(AppConfig::AboutTitle), QStringLiteral("关于Torvik读写器演示软件"));
        QCOMPARE(config.info(AppConfig::AboutVersion), QStringLiteral("Torvik_V1.4"));
        QCOMPARE(config.info(AppConfig::AboutLtd), config.info(AppConfig::Company));
        QCOMPARE(config.info(8), QString());
    }

    void appConfigFileIsReadKeyByKey() {
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("AppConfig.ini")),
                  "[Other]\nSoftwareName=wrong\n"
                  "[appinfo]\n; a comment\nsoftwarename = 测试程序\nCOPYRIGHT=\"(C) 2025, Norvesta, Oslo\"\n"
                  "HTTP=" + QByteArray(300, 'h') + "\n");
        const AppConfig config(dir.path());
        QCOMPARE(config.info(AppConfig::SoftwareName), QStringLiteral("测试程序"));
        QCOMPARE(config.info(AppConfig::Copyright), QStringLiteral("(C) 2025, Norvesta, Oslo"));
        QCOMPARE(config.info(AppConfig::Http), QString(259, QLatin1Char('h')));
        // A key the file lacks reads as empty, not as the built-in text.
        QCOMPARE(config.info(AppConfig::AboutVersion), QString());
    }

    void shippedAppConfigHoldsTheBuiltInTexts() {
        const AppConfig shipped(torviktest::outDir());
        QVERIFY(QFile::exists(shipped.path()));
        for (int i = 0; i < AppConfig::kCount; ++i) QCOMPARE(shipped.info(i), AppConfig::builtIn(i));
    }

    void languageOption() {
        QCOMPARE(TorvikApp::languageOption({"torvik"}), -1);
        QCOMPARE(TorvikApp::languageOption({"torvik", "--lang", "en"}), 1);
        QCOMPARE(TorvikApp::languageOption({"torvik", "--lang=EN"}), 1);
        QCOMPARE(TorvikApp::languageOption({"torvik", "--lang", "zh"}), 0);
    }
};

TORVIK_TEST_MAIN(StartupTest)
#include "startup_test.moc"
