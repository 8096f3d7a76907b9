// libKovalinkHID (KovalinkHID.dll on Windows) loaded at run time and its
// function table bound by name.
#pragma once

#include <QLibrary>
#include <QString>

#include <memory>

#include "shell/reader_api.h"

class ReaderLibrary {
public:
    ReaderLibrary() = default;
    ~ReaderLibrary();
    ReaderLibrary(const ReaderLibrary&) = delete;
    ReaderLibrary& operator=(const ReaderLibrary&) = delete;

    // Loads the library from the program's folder, else from the installed
    // library folder beside it (bin/../lib), and binds every name. False
    // with the reason in `why` (the path tried and the loader's message, or
    // the missing name).
    bool load(const QString& programDir, QString* why);
    void unload();

    bool loaded() const { return library_ != nullptr; }
    const ReaderApi& api() const { return api_; }
    const QString& path() const { return path_; }

    static QString fileName();
    // Where load() looks, in order.
    static QStringList candidates(const QString& programDir);

private:
    std::unique_ptr<QLibrary> library_;
    ReaderApi api_;
    QString path_;
};
