// Start-up and exit of the test program: read the stored settings, load and
// bind libKovalinkHID, create the main window (which opens the reader and
// shows the stored card type's page); at exit unload the library and store
// the settings.
#pragma once

#include <QString>
#include <memory>

#include "shell/app_config.h"
#include "shell/app_state.h"
#include "shell/reader_library.h"
#include "shell/settings_store.h"

class MainWindow;

struct StartOptions {
    QString programDir;    // where the library and AppConfig.ini are looked for
    int language = -1;     // 0 Chinese, 1 English; -1: the stored choice
    bool show = true;      // show the main window (maximised)
};

class TorvikApp {
public:
    explicit TorvikApp(StartOptions options, SettingsStore settings = SettingsStore());
    ~TorvikApp();

    // The start-up sequence. False when the library could not be loaded or
    // bound; the message box has been shown by then.
    bool start();
    // Closes the window if it is still there, unloads the library and
    // stores the settings. Runs once; the destructor runs it too.
    void exit();

    MainWindow* mainWindow() const { return window_.get(); }
    AppState& state() { return state_; }
    const ReaderLibrary& library() const { return library_; }

    static const char* loadFailedText();
    // "--lang en" / "--lang zh" (or "--lang=en"): 1, 0; -1 when absent.
    static int languageOption(const QStringList& arguments);

private:
    StartOptions options_;
    SettingsStore settings_;
    AppConfig config_;
    AppState state_;
    ReaderLibrary library_;
    std::unique_ptr<MainWindow> window_;
    bool exited_ = false;
};
