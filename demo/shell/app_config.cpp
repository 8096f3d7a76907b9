#include "shell/app_config.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

namespace {

struct Entry {
    const char* key;
    const char* fallback;
};

const char* const kCompany = "Norvesta Reader Technology Co., Ltd.";

const Entry kEntries[AppConfig::kCount] = {
    {"Company", kCompany},
    {"Version", "演示软件版本V1.5"},
    {"SoftwareName", "Torvik演示软件"},
    {"AboutTitle", "关于Torvik读写器演示软件"},
    {"AboutVersion", "Torvik_V1.4"},
    {"AboutLTD", kCompany},
    {"HTTP", "http://www.norvesta.example"},
    {"COPYRIGHT", "Copyright (C) 2024 Norvesta. All rights reserved."},
};

// At most 259 characters, as the profile lookup returns.
constexpr int kMaxValue = 259;

QString decode(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError()) return text;
    // Files written on Chinese Windows are in the GB code page.
    QStringDecoder gb("GB18030");
    if (gb.isValid()) {
        text = gb(bytes);
        if (!gb.hasError()) return text;
    }
    return QString::fromLatin1(bytes);
}

QString unquote(QString value) {
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

// The value of `key` in section `section`, case-insensitively as the
// profile functions compare; empty when absent.
QString lookup(const QString& file, const QString& section, const QString& key) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) return {};
    const QStringList lines = decode(in.readAll()).split(u'\n');
    bool inSection = false;
    for (QString line : lines) {
        line = line.trimmed();
        if (line.startsWith(u'[')) {
            const int end = line.indexOf(u']');
            inSection = end > 0 && line.mid(1, end - 1).trimmed().compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection || line.startsWith(u';')) continue;
        const int eq = line.indexOf(u'=');
        if (eq <= 0 || line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0) continue;
        return unquote(line.mid(eq + 1).trimmed()).left(kMaxValue);
    }
    return {};
}

}  // namespace

AppConfig::AppConfig(QString dir) : dir_(std::move(dir)) {}

QString AppConfig::path() const { return QDir(dir_).filePath(QStringLiteral("AppConfig.ini")); }

const char* AppConfig::key(int index) { return index >= 0 && index < kCount ? kEntries[index].key : ""; }

QString AppConfig::builtIn(int index) {
    return index >= 0 && index < kCount ? QString::fromUtf8(kEntries[index].fallback) : QString();
}

QString AppConfig::info(int index) const {
    if (index < 0 || index >= kCount) return {};
    const QString file = path();
    if (!QFile::exists(file)) return builtIn(index);
    return lookup(file, QStringLiteral("AppInfo"), QLatin1String(kEntries[index].key));
}
