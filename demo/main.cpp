// torvik: the reader's test program.
#include <QApplication>

#include "shell/torvik_app.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Norvesta"));
    QCoreApplication::setApplicationName(QStringLiteral("Zimbrel"));

    StartOptions options;
    options.programDir = QCoreApplication::applicationDirPath();
    options.language = TorvikApp::languageOption(QCoreApplication::arguments());

    TorvikApp torvik(options);
    if (!torvik.start()) return 1;
    const int result = app.exec();
    torvik.exit();
    return result;
}
