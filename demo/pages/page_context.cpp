#include "pages/page_context.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QThread>

#include "shell/message_box.h"
#include "shell/result_strip.h"

PageContext::PageContext(const ReaderApi& api, AppState& state, ResultStrip& strip, QWidget* window,
                         QString programDir, std::function<void()> refreshTitle)
    : api_(api),
      state_(state),
      strip_(strip),
      window_(window),
      program_dir_(std::move(programDir)),
      refresh_title_(std::move(refreshTitle)) {}

void PageContext::showResult(int status, const QString& label) const { strip_.showResult(status, label); }
void PageContext::showError(const QString& text) const { strip_.showError(text); }
void PageContext::showInfo(const QString& text) const { strip_.showInfo(text); }

bool PageContext::report(int status, const QString& label, int entry) const {
    if (status != 0)
        showResult(status, label);
    else
        showInfoEntry(entry);
    return status == 0;
}

bool PageContext::requireConnected() const {
    if (connected()) return true;
    showErrorEntry(2);
    return false;
}

QWidget* PageContext::boxParent() const {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (QWidget* active = QApplication::activeWindow()) return active;
    return window_;
}

void PageContext::errorBox(const QString& text, const QString& caption) const {
    boxes::error(boxParent(), text, caption);
}

void PageContext::warningBox(const QString& text) const { boxes::warning(boxParent(), text); }

bool PageContext::confirm(const QString& text, QMessageBox::Icon icon) const {
    return boxes::confirm(boxParent(), text, icon);
}

void PageContext::pause(int milliseconds) const { QThread::msleep(static_cast<unsigned long>(milliseconds)); }

QString PageContext::dataFilePath(const QString& name) const {
    // Whether a file can be made there, asked by making one: permission
    // bits alone say yes to root everywhere.
    QTemporaryFile probe(QDir(program_dir_).filePath(QStringLiteral(".torvik-XXXXXX")));
    if (!program_dir_.isEmpty() && probe.open()) return QDir(program_dir_).filePath(name);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return QDir(data).filePath(name);
}

void PageContext::refreshTitle() const {
    if (refresh_title_) refresh_title_();
}
