#include "support/message_boxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>

namespace torviktest {

MessageBoxes::MessageBoxes() {
    qApp->installEventFilter(this);
    quietPlatformNotes();
}

MessageBoxes::~MessageBoxes() { qApp->removeEventFilter(this); }

void MessageBoxes::answerNext(QMessageBox::StandardButton button) { answers_.enqueue(button); }

void MessageBoxes::onNextDialog(std::function<void(QDialog*)> handler) { dialog_handlers_.enqueue(std::move(handler)); }

bool MessageBoxes::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        if (auto* box = qobject_cast<QMessageBox*>(watched)) {
            QPointer<QMessageBox> guard(box);
            // Answered once its exec() loop runs.
            QTimer::singleShot(0, this, [this, guard] {
                if (guard) answer(guard);
            });
        } else if (auto* dialog = qobject_cast<QDialog*>(watched); dialog && !dialog_handlers_.isEmpty()) {
            auto handler = dialog_handlers_.dequeue();
            QPointer<QDialog> guard(dialog);
            QTimer::singleShot(0, this, [handler, guard] {
                if (guard) handler(guard);
            });
        }
    }
    return QObject::eventFilter(watched, event);
}

void MessageBoxes::answer(QMessageBox* box) {
    BoxRecord record{box->windowTitle(), box->text(), box->icon(), box->standardButtons(), QMessageBox::NoButton};
    QMessageBox::StandardButton choice = answers_.isEmpty() ? QMessageBox::Ok : answers_.dequeue();
    if (!(record.buttons & choice)) {
        const QList<QAbstractButton*> buttons = box->buttons();
        choice = buttons.isEmpty() ? QMessageBox::NoButton : box->standardButton(buttons.front());
    }
    record.answer = choice;
    boxes_.append(record);
    if (QAbstractButton* button = box->button(choice))
        button->click();
    else
        box->done(choice);
}

void quietPlatformNotes() {
    static QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (message == QLatin1String("This plugin does not support propagateSizeHints()")) return;
            if (previous) previous(type, context, message);
        });
}

}  // namespace torviktest
