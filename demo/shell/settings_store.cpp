#include "shell/settings_store.h"

#include <QFileInfo>
#include <QSettings>

#include "pages/page_registry.h"

namespace {

const char* const kOrganisation = "Norvesta";
const char* const kApplication = "Zimbrel";

// A stored value read as a 32-bit unsigned number, the way the values are
// written; anything else is "not that type" and takes the default.
int readDword(const QSettings& settings, const char* key, int fallback) {
    const QVariant value = settings.value(QLatin1String(key));
    if (!value.isValid()) return fallback;
    bool ok = false;
    const uint number = value.toString().trimmed().toUInt(&ok, 10);
    return ok ? static_cast<int>(number) : fallback;
}

}  // namespace

SettingsStore::SettingsStore()
    : file_(QSettings(QSettings::IniFormat, QSettings::UserScope, QLatin1String(kOrganisation),
                      QLatin1String(kApplication))
                .fileName()) {}

SettingsStore::SettingsStore(QString file) : file_(std::move(file)) {}

StoredSettings SettingsStore::load() const {
    StoredSettings values;
    const QFileInfo info(file_);
    if (!info.isFile() || !info.isReadable()) return values;
    const QSettings settings(file_, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) return values;
    values.curCard = readDword(settings, "CurCard", 1);
    values.vid = readDword(settings, "ComPort", 0);
    values.pid = readDword(settings, "BaudRate", 1);
    if (!isCardType(values.curCard)) values.curCard = 1;
    return values;
}

bool SettingsStore::store(const StoredSettings& values) const {
    QSettings settings(file_, QSettings::IniFormat);
    settings.setValue(QStringLiteral("CurCard"), static_cast<uint>(values.curCard));
    settings.setValue(QStringLiteral("ComPort"), static_cast<uint>(values.vid));
    settings.setValue(QStringLiteral("BaudRate"), static_cast<uint>(values.pid));
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QString SettingsStore::language() const {
    if (!QFileInfo(file_).isReadable()) return {};
    const QSettings settings(file_, QSettings::IniFormat);
    return settings.value(QStringLiteral("Language")).toString().trimmed().toLower();
}
