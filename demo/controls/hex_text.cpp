#include "controls/hex_text.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <limits>

#include "hex.h"

QString windowText(const QWidget* window) {
    if (auto* edit = qobject_cast<const QLineEdit*>(window)) return edit->text();
    if (auto* combo = qobject_cast<const QComboBox*>(window)) return combo->currentText();
    if (auto* label = qobject_cast<const QLabel*>(window)) return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(window)) return button->text();
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(window)) return plain->toPlainText();
    return window ? window->windowTitle() : QString();
}

void setWindowText(QWidget* window, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(window)) {
        edit->setText(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(window)) {
        if (combo->isEditable()) {
            combo->setEditText(text);
        } else {
            int index = combo->findText(text);
            if (index < 0) {
                combo->addItem(text);
                index = combo->count() - 1;
            }
            combo->setCurrentIndex(index);
        }
    } else if (auto* label = qobject_cast<QLabel*>(window)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(window)) {
        button->setText(text);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(window)) {
        plain->setPlainText(text);
    } else if (window) {
        window->setWindowTitle(text);
    }
}

namespace {

// A pair holding a character that is not a hex digit still makes a byte
// (the field's own rule, unlike common::parseHex, which refuses the text):
// that character counts as 0.
int nibble(QChar c) {
    const int value = c.unicode() < 0x80 ? common::hexDigit(static_cast<char>(c.unicode())) : -1;
    return value < 0 ? 0 : value;
}

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

}  // namespace

QByteArray hexTextToBytes(const QString& text) {
    QByteArray bytes;
    bytes.reserve((text.size() + 1) / 2);
    for (qsizetype i = 0; i + 1 < text.size(); i += 2)
        bytes.append(static_cast<char>(nibble(text[i]) << 4 | nibble(text[i + 1])));
    if (text.size() % 2) bytes.append(static_cast<char>(nibble(text.back())));
    return bytes;
}

QByteArray HexToBytes(const QWidget* window) { return hexTextToBytes(windowText(window)); }

int GetHexByteCount(const QWidget* window) { return static_cast<int>(windowText(window).size() / 2); }

QString BytesToHexString(const void* bytes, int count) {
    if (!bytes || count <= 0) return {};
    return QString::fromStdString(common::toHex(static_cast<const std::uint8_t*>(bytes), std::size_t(count)));
}

QString BytesToHexString(const QByteArray& bytes) { return BytesToHexString(bytes.constData(), int(bytes.size())); }

QString StringToHexString(const QByteArray& text) { return BytesToHexString(text); }

void BytesToHex(QWidget* window, const void* bytes, int count) {
    if (!bytes) return;
    setWindowText(window, BytesToHexString(bytes, count));
}

void BytesToHex(QWidget* window, const QByteArray& bytes) { BytesToHex(window, bytes.constData(), int(bytes.size())); }

void SetHexDword(std::uint32_t value, QWidget* window) {
    const unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                    static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    BytesToHex(window, bytes, 4);
}

void SetDecimalText(QWidget* window, int value) { setWindowText(window, QString::number(value)); }

int decimalTextValue(const QString& text) {
    if (text.isEmpty()) return -1;
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    long long value = 0;
    const long long limit = negative ? -static_cast<long long>(std::numeric_limits<int>::min())
                                     : std::numeric_limits<int>::max();
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > limit) {
            value = limit;
            break;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

int GetDecimalValue(const QWidget* window) { return decimalTextValue(windowText(window)); }
