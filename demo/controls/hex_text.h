// Hexadecimal and decimal text of the card pages' fields. A field's value is
// the byte string its text stands for: two hex digits per byte, high nibble
// first, no separators; bytes are shown back in upper case.
//
// The helpers take any text-bearing control: a line edit, a label, a
// drop-down list (its current text), a button or a plain-text edit.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

class QWidget;

QString windowText(const QWidget* window);
void setWindowText(QWidget* window, const QString& text);

// Text -> bytes. One byte per pair of characters; 0-9, A-F and a-f are the
// digits. An odd trailing digit becomes one more byte holding that digit's
// value ("ABC" gives AB 0C). A character that is not a hex digit, which
// only pasted text can contain, counts as the digit 0 ("1G" gives 10,
// "ZZ" gives 00).
QByteArray hexTextToBytes(const QString& text);
QByteArray HexToBytes(const QWidget* window);

// Text length / 2, rounded down: "ABC" counts 1.
int GetHexByteCount(const QWidget* window);

QString BytesToHexString(const void* bytes, int count);
QString BytesToHexString(const QByteArray& bytes);
// Upper-case hex of the string's own bytes: "AB" gives "4142".
QString StringToHexString(const QByteArray& text);

// Sets the text to the bytes' hex; a null pointer leaves it unchanged and a
// count of 0 empties it.
void BytesToHex(QWidget* window, const void* bytes, int count);
void BytesToHex(QWidget* window, const QByteArray& bytes);
// The value's four bytes, least significant first: 100 shows "64000000".
void SetHexDword(std::uint32_t value, QWidget* window);

void SetDecimalText(QWidget* window, int value);
// -1 for an empty text; otherwise the standard ASCII-to-integer rule
// (leading blanks, optional sign, digits up to the first non-digit, 0 when
// there are none), saturating at the int range.
int decimalTextValue(const QString& text);
int GetDecimalValue(const QWidget* window);
