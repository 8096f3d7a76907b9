#include "shell/message_box.h"

namespace boxes {

QMessageBox::StandardButton show(QWidget* parent, const QString& text, const QString& caption,
                                 QMessageBox::Icon icon, QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, caption, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void error(QWidget* parent, const QString& text, const QString& caption) {
    show(parent, text, caption, QMessageBox::Critical);
}

void warning(QWidget* parent, const QString& text) {
    show(parent, text, QStringLiteral("Warning"), QMessageBox::Warning);
}

bool confirm(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
    return show(parent, text, QStringLiteral("Warning"), icon, QMessageBox::Ok | QMessageBox::Cancel) ==
           QMessageBox::Ok;
}

}  // namespace boxes
