#include "controls/hex_edit.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace {

bool isHexDigitKey(int key) {
    return (key >= Qt::Key_A && key <= Qt::Key_F) || (key >= Qt::Key_0 && key <= Qt::Key_9);
}

bool isLetter(QChar c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

// Keys the dialog around a field handles (default button, cancel): passed
// on instead of being eaten.
bool belongsToDialog(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

}  // namespace

CHexEdit::CHexEdit(QWidget* parent) : QLineEdit(parent) {
    // Text composed by an input method would bypass the key filter.
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

void CHexEdit::discard(QKeyEvent* event) {
    if (belongsToDialog(event->key()))
        event->ignore();
    else
        event->accept();
}

void CHexEdit::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Control) {
        ctrl_down_ = 1;
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (ctrl_down_) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    // Digits from either the main keys or the numeric pad, letters A-F.
    const QString text = event->text();
    if (!isHexDigitKey(key) || text.size() != 1) {
        discard(event);
        return;
    }
    QChar c = text.front();
    if (c >= u'A' && c <= u'F')
        c = c.toLower();
    else if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'))) {
        discard(event);
        return;
    }
    if (upper_) c = c.toUpper();
    QKeyEvent typed(event->type(), key, event->modifiers(), QString(c), event->isAutoRepeat(),
                    ushort(event->count()));
    QLineEdit::keyPressEvent(&typed);
    event->setAccepted(typed.isAccepted());
}

void CHexEdit::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Control) ctrl_down_ = 0;
    QLineEdit::keyReleaseEvent(event);
}

void CHexEdit::focusInEvent(QFocusEvent* event) {
    // A Ctrl released while another window had the focus must not leave
    // the filter switched off.
    ctrl_down_ = (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier) ? 1 : 0;
    QLineEdit::focusInEvent(event);
}

int GetHexByteLimit(const CHexEdit* edit) { return edit ? (edit->maxLength() + 1) / 2 : 0; }

CDecEdit::CDecEdit(QWidget* parent) : QLineEdit(parent) { setAttribute(Qt::WA_InputMethodEnabled, false); }

void CDecEdit::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    if (text.size() == 1 && isLetter(text.front()) && !(event->modifiers() & Qt::ControlModifier)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
