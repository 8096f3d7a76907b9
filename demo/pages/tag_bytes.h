// Small helpers of the tag pages (vicinity labels, Ultralight family).
#pragma once

#include <QByteArray>

namespace tagpage {

// What a page reports for a reply that came back shorter (or longer) than
// the command's answer: the library's own code for a reply of the wrong
// length. Such a reply is a failure and is never shown as a success.
constexpr int kWrongLength = 1;

// The bytes of a field's value as the library takes them.
inline const unsigned char* bytes(const QByteArray& data) {
    return reinterpret_cast<const unsigned char*>(data.constData());
}

}  // namespace tagpage
