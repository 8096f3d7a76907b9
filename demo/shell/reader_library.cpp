#include "shell/reader_library.h"

#include <QDir>
#include <QFileInfo>

#ifndef TORVIK_BIN_TO_LIB
#define TORVIK_BIN_TO_LIB "../lib"
#endif
#ifndef TORVIK_LIBRARY_FILE
#define TORVIK_LIBRARY_FILE "libKovalinkHID.so"
#endif

ReaderLibrary::~ReaderLibrary() { unload(); }

QString ReaderLibrary::fileName() { return QStringLiteral(TORVIK_LIBRARY_FILE); }

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
        // Every reference resolved at load, the library's names kept to itself.
        auto library = std::make_unique<QLibrary>(candidate);
        library->setLoadHints(QLibrary::ResolveAllSymbolsHint);
        if (!library->load()) {
            reasons << library->errorString();
            continue;
        }
        const std::string missing = api_.bind([&](const char* name) { return library->resolve(name); });
        if (!missing.empty()) {
            library->unload();
            if (why) *why = candidate + QStringLiteral(" lacks ") + QString::fromStdString(missing);
            return false;
        }
        library_ = std::move(library);
        path_ = candidate;
        return true;
    }
    if (why) *why = reasons.join(QStringLiteral("; "));
    return false;
}

void ReaderLibrary::unload() {
    api_ = ReaderApi{};
    if (library_) library_->unload();
    library_.reset();
    path_.clear();
}
