#include "shell/torvik_app.h"

#include <QGuiApplication>
#include <QScreen>
#include <cstdio>

#include "controls/automation.h"
#include "shell/main_window.h"
#include "shell/message_box.h"

TorvikApp::TorvikApp(StartOptions options, SettingsStore settings)
    : options_(std::move(options)), settings_(std::move(settings)), config_(options_.programDir) {}

TorvikApp::~TorvikApp() { exit(); }

const char* TorvikApp::loadFailedText() { return "Load KovalinkHID.dll failed !"; }

int TorvikApp::languageOption(const QStringList& arguments) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString value;
        if (arguments[i] == QLatin1String("--lang") && i + 1 < arguments.size())
            value = arguments[i + 1];
        else if (arguments[i].startsWith(QLatin1String("--lang=")))
            value = arguments[i].mid(7);
        else
            continue;
        return value.toLower() == QLatin1String("en") ? 1 : 0;
    }
    return -1;
}

bool TorvikApp::start() {
    installActionAccessibility();

    const StoredSettings stored = settings_.load();
    state_.curCard = stored.curCard;
    state_.vid = stored.vid;
    state_.pid = stored.pid;
    state_.language = options_.language >= 0 ? options_.language : (settings_.language() == QLatin1String("en"));

    QString why;
    if (!library_.load(options_.programDir, &why)) {
        std::fprintf(stderr, "torvik: %s\n", why.toLocal8Bit().constData());
        boxes::show(nullptr, QString::fromLatin1(loadFailedText()), QStringLiteral("Torvik"), QMessageBox::NoIcon);
        return false;
    }

    window_ = std::make_unique<MainWindow>(state_, library_.api(), config_, options_.programDir);
    window_->autoConnect();
    if (options_.show) {
        // Maximised; without a window manager to do it, the window takes
        // the screen's free area itself.
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            window_->setGeometry(screen->availableGeometry());
        window_->showMaximized();
    }
    return true;
}

void TorvikApp::exit() {
    if (exited_) return;
    exited_ = true;
    if (window_) window_->close();
    window_.reset();
    library_.unload();
    settings_.store({state_.curCard, state_.vid, state_.pid});
}
