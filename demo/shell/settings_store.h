// The three stored values of the program ("CurCard", "ComPort", "BaudRate")
// in an INI file: organisation "Norvesta", application "Zimbrel", under the
// user's configuration folder ($XDG_CONFIG_HOME/Norvesta/Zimbrel.ini), plus
// the optional "Language" value ("en" shows the English texts).
#pragma once

#include <QString>

struct StoredSettings {
    int curCard = 1;
    int vid = 0;  // "ComPort" holds the USB vendor id
    int pid = 0;  // "BaudRate" holds the USB product id
};

class SettingsStore {
public:
    SettingsStore();
    // For tests and tools: another file in the same format.
    explicit SettingsStore(QString file);

    // Missing or unreadable file: 1, 0, 0. A value that is missing or not
    // an unsigned 32-bit number: 1, 0, 1 for the three values. A card type
    // outside 0-14 reads as 1 (Mifare 1K).
    StoredSettings load() const;
    // False when the file could not be written; nothing is reported.
    bool store(const StoredSettings& values) const;
    // "en", "zh" or empty.
    QString language() const;

    const QString& fileName() const { return file_; }

private:
    QString file_;
};
