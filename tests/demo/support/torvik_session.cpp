#include "support/torvik_session.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "controls/hex_text.h"
#include "shell/card_view.h"

namespace torviktest {

QString outDir() { return QStringLiteral(KOVALINK_OUT_DIR); }

QString isolateSettings() {
    static QTemporaryDir* folder = [] {
        auto* dir = new QTemporaryDir;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir->path()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir->filePath(QStringLiteral("data"))));
        // Removed when the process ends.
        std::atexit([] { delete folder; });
        return dir;
    }();
    return SettingsStore().fileName();
}

QString settingsFile() { return SettingsStore().fileName(); }

void writeSettings(int curCard, int vid, int pid) {
    QDir().mkpath(QFileInfo(settingsFile()).path());
    SettingsStore().store({curCard, vid, pid});
}

void removeSettings() { QFile::remove(settingsFile()); }

SimReader::SimReader(const QStringList& cards, const sim::ReaderConfig& config) {
    server_.config = config;
    std::string why;
    started_ = server_.start(&why);
    if (!started_) qWarning("simulated reader: %s", why.c_str());
    for (const QString& card : cards) {
        QString reason;
        if (!place(card, &reason)) qWarning("card %s: %s", qPrintable(card), qPrintable(reason));
    }
}

SimReader::~SimReader() = default;

bool SimReader::place(const QString& spec, QString* why) {
    std::string reason;
    const bool placed = started_ && server_.place(spec.toStdString(), &reason);
    if (why) *why = QString::fromStdString(started_ ? reason : "no reader");
    return placed;
}

TorvikSession::TorvikSession() : TorvikSession(Options{}) {}

TorvikSession::TorvikSession(int cardType, const QStringList& cards)
    : TorvikSession(Options().card(cardType).withCards(cards)) {}

TorvikSession::TorvikSession(Options options) : options_(std::move(options)) {
    isolateSettings();
    boxes_ = std::make_unique<MessageBoxes>();
    if (options_.reader) {
        reader_ = std::make_unique<SimReader>(options_.cards);
    } else {
        // A folder with no reader in it.
        qputenv("TAVOHID_VIRTUAL_DIR", "");
    }
    if (options_.cardType >= 0) writeSettings(options_.cardType);
    StartOptions start;
    start.programDir = outDir();
    start.language = options_.language;
    start.show = options_.show;
    app_ = std::make_unique<TorvikApp>(start);
    if (!app_->start()) qWarning("torvik did not start");
    if (options_.show && window() && !QTest::qWaitForWindowExposed(window())) qWarning("main window not exposed");
}

TorvikSession::~TorvikSession() {
    app_.reset();
    reader_.reset();
    boxes_.reset();
}

CardPage* TorvikSession::page() const { return window() ? window()->view()->page() : nullptr; }

QString TorvikSession::result() const { return window() ? window()->resultStrip()->text() : QString(); }

void TorvikSession::click(int id) {
    auto* button = find<QAbstractButton>(id);
    QVERIFY2(button, qPrintable(QStringLiteral("no button %1").arg(id)));
    QVERIFY2(button->isEnabled(), qPrintable(QStringLiteral("button %1 is disabled").arg(id)));
    button->click();
}

void TorvikSession::trigger(int commandId) {
    QAction* action = window()->command(commandId);
    QVERIFY2(action, qPrintable(QStringLiteral("no command %1").arg(commandId)));
    action->trigger();
}

void TorvikSession::switchTo(int cardType) { trigger(pageRow(cardType).commandId); }

void TorvikSession::setText(int id, const QString& text) {
    QWidget* widget = find(id);
    QVERIFY2(widget, qPrintable(QStringLiteral("no control %1").arg(id)));
    setWindowText(widget, text);
}

QString TorvikSession::text(int id) const {
    QWidget* widget = find(id);
    return widget ? windowText(widget) : QString();
}

void TorvikSession::select(int id, int itemData) {
    auto* list = find<QComboBox>(id);
    QVERIFY2(list, qPrintable(QStringLiteral("no list %1").arg(id)));
    const int index = list->findData(itemData);
    QVERIFY2(index >= 0, qPrintable(QStringLiteral("list %1 has no item %2").arg(id).arg(itemData)));
    list->setCurrentIndex(index);
}

}  // namespace torviktest
