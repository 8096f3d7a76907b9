// The program's message boxes: input errors with the caption "Error" and
// the error icon, empty inputs with "Warning", questions with OK / Cancel.
#pragma once

#include <QMessageBox>

namespace boxes {

QMessageBox::StandardButton show(QWidget* parent, const QString& text, const QString& caption,
                                 QMessageBox::Icon icon,
                                 QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// Caption "Error" (some pages write "error"), error icon, OK.
void error(QWidget* parent, const QString& text, const QString& caption = QStringLiteral("Error"));
// Caption "Warning", warning icon, OK.
void warning(QWidget* parent, const QString& text);
// Caption "Warning", OK and Cancel; true when OK was chosen.
bool confirm(QWidget* parent, const QString& text, QMessageBox::Icon icon = QMessageBox::Warning);

}  // namespace boxes
