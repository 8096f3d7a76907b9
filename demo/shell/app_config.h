// AppConfig.ini beside the program: section "AppInfo" with the texts of the
// title and the About box. When the file does not exist every key has a
// built-in default; when it exists, a missing key reads as an empty text.
#pragma once

#include <QString>

class AppConfig {
public:
    enum Index { Company, Version, SoftwareName, AboutTitle, AboutVersion, AboutLtd, Http, Copyright, kCount };

    explicit AppConfig(QString dir);

    // GetAppInfo: the text of one index (0-7); empty outside that range.
    QString info(int index) const;

    static const char* key(int index);
    static QString builtIn(int index);
    QString path() const;

private:
    QString dir_;
};
