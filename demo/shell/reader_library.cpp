#include "shell/reader_library.h"

#include <dlfcn.h>

#include <QDir>
#include <QFileInfo>

#ifndef TORVIK_BIN_TO_LIB
#define TORVIK_BIN_TO_LIB "../lib"
#endif

ReaderLibrary::~ReaderLibrary() { unload(); }

QString ReaderLibrary::fileName() { return QStringLiteral("libKovalinkHID.so"); }

QStringList ReaderLibrary::candidates(const QString& programDir) {
    const QDir dir(programDir);
    return {dir.filePath(fileName()),
            QDir::cleanPath(dir.filePath(QStringLiteral(TORVIK_BIN_TO_LIB "/") + fileName()))};
}

bool ReaderLibrary::load(const QString& programDir, QString* why) {
    unload();
    QStringList reasons;
    for (const QString& candidate : candidates(programDir)) {
        if (!QFileInfo::exists(candidate)) {
            reasons << candidate + QStringLiteral(": no such file");
            continue;
        }
        void* handle = ::dlopen(QFile::encodeName(candidate).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            reasons << QString::fromLocal8Bit(::dlerror());
            continue;
        }
        const std::string missing = api_.bind(handle);
        if (!missing.empty()) {
            ::dlclose(handle);
            if (why) *why = candidate + QStringLiteral(" lacks ") + QString::fromStdString(missing);
            return false;
        }
        handle_ = handle;
        path_ = candidate;
        return true;
    }
    if (why) *why = reasons.join(QStringLiteral("; "));
    return false;
}

void ReaderLibrary::unload() {
    api_ = ReaderApi{};
    if (handle_) ::dlclose(handle_);
    handle_ = nullptr;
    path_.clear();
}
