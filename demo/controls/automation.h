// Automation ids. Every control and command that has a numeric id carries it
// as its object name ("1049") and as its accessible description ("id 1049"),
// so in-process tests find it by name and outside accessibility tools by
// description. Labels that show output set only the description: an
// accessible name would hide their text.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QWidget>

class QAction;

QString automationDescription(int id);

void setAutomationId(QWidget* widget, int id);
// Commands: the id is kept on the action; menu items show it through the
// accessible interface installed by installActionAccessibility(), toolbar
// buttons through their own widget (setAutomationId on the button).
void setActionId(QAction* action, int id);
// The id of a widget or action, or -1.
int automationId(const QObject* object);

// Menu items of actions that carry an id report it as their accessible
// description (Qt's own menu item interface reports none). Installed once.
void installActionAccessibility();

template <typename T = QWidget>
T* findById(const QObject* root, int id) {
    return root ? root->findChild<T*>(QString::number(id)) : nullptr;
}
