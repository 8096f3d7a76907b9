// What a page may reach: the library's function table, the application
// state (connection, reader address, language), the result strip, the text
// tables and the program's message boxes. Pages reach the library and the
// shell only through this.
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

#include "shell/app_state.h"
#include "shell/message_table.h"
#include "shell/reader_api.h"

class ResultStrip;
class QWidget;

class PageContext {
public:
    PageContext(const ReaderApi& api, AppState& state, ResultStrip& strip, QWidget* window, QString programDir,
                std::function<void()> refreshTitle);

    const ReaderApi& api() const { return api_; }
    AppState& state() const { return state_; }
    ResultStrip& strip() const { return strip_; }
    QWidget* window() const { return window_; }

    // g_wDeviceAddress, the first argument of every library call.
    int address() const { return state_.deviceAddress; }
    bool connected() const { return state_.connected(); }
    int language() const { return state_.language; }

    // A text of a two-column table, or an entry of the message table, in
    // the language shown.
    QString text(const TextPair& pair) const { return pair.pick(language()); }
    QString message(int entry) const { return MessageTable::text(entry, language()); }

    // The result strip.
    void showResult(int status, const QString& label = QString()) const;
    void showError(const QString& text) const;
    void showInfo(const QString& text) const;
    void showInfoEntry(int entry) const { showInfo(message(entry)); }
    void showErrorEntry(int entry) const { showError(message(entry)); }
    // Non-zero status: ShowResult(status, label); zero: ShowInfo(entry).
    // True on success.
    bool report(int status, const QString& label, int entry) const;
    // The rule of every reader operation: when the reader is not believed
    // connected, ShowError("设备未连接") and false.
    bool requireConnected() const;

    // Message boxes over the active window.
    void errorBox(const QString& text, const QString& caption = QStringLiteral("Error")) const;
    void errorBoxEntry(int entry, const QString& caption = QStringLiteral("Error")) const {
        errorBox(message(entry), caption);
    }
    void warningBox(const QString& text) const;
    bool confirm(const QString& text, QMessageBox::Icon icon = QMessageBox::Warning) const;

    // The waits between reader commands (the field settling after a switch).
    void pause(int milliseconds) const;

    // A data file of the program (command books): beside the program, or in
    // the user's data folder when the program's folder is not writable.
    QString dataFilePath(const QString& name) const;

    // Rebuilds the main window title from the current ids and address.
    void refreshTitle() const;

private:
    QWidget* boxParent() const;

    const ReaderApi& api_;
    AppState& state_;
    ResultStrip& strip_;
    QWidget* window_;
    QString program_dir_;
    std::function<void()> refresh_title_;
};
