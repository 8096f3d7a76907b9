#include "books/books.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>

namespace {

constexpr qint64 kIntSize = 4;

bool isHexText(const QByteArray& text) {
    for (char c : text) {
        const bool digit = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        if (!digit) return false;
    }
    return true;
}

// A 32-bit little-endian integer, or false when fewer than 4 bytes remain.
bool readInt(QIODevice& device, qint32* value) {
    char bytes[kIntSize];
    if (device.read(bytes, kIntSize) != kIntSize) return false;
    *value = qFromLittleEndian<qint32>(bytes);
    return true;
}

void appendInt(QByteArray& out, qint32 value) {
    char bytes[kIntSize];
    qToLittleEndian<qint32>(value, bytes);
    out.append(bytes, kIntSize);
}

}  // namespace

void CBooks::Add(const QString& text) {
    if (!entries_.isEmpty() && entries_.last() == text) return;
    if (entries_.size() >= kMaxEntries) entries_.removeFirst();
    entries_.append(text);
}

CBooks::LoadResult CBooks::read(QIODevice& device) {
    entries_.clear();
    const qint64 size = device.size();
    qint32 count = 0;
    // Even a book of empty entries needs 4 bytes for each: a count the
    // file has no room for says it is not a book.
    if (!readInt(device, &count) || count < 0 || count > (size - kIntSize) / kIntSize) return LoadResult::refused;
    for (qint32 i = 0; i < count; ++i) {
        qint32 length = 0;
        if (!readInt(device, &length)) return LoadResult::truncated;
        if (length < 0) {
            entries_.clear();
            return LoadResult::refused;
        }
        if (length > size - device.pos()) return LoadResult::truncated;
        const QByteArray text = device.read(length);
        if (text.size() != length) return LoadResult::truncated;
        if (!isHexText(text)) {
            entries_.clear();
            return LoadResult::refused;
        }
        Add(QString::fromLatin1(text));
    }
    return LoadResult::loaded;
}

CBooks::LoadResult CBooks::Load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        entries_.clear();
        return LoadResult::missing;
    }
    return read(file);
}

QByteArray CBooks::serialize(const QStringList& entries) {
    QByteArray out;
    appendInt(out, qint32(entries.size()));
    for (const QString& entry : entries) {
        const QByteArray text = entry.toLatin1();
        appendInt(out, qint32(text.size()));
        out.append(text);
    }
    return out;
}

bool CBooks::Save(const QString& path) const {
    QSaveFile file(path);
    // Unbuffered, so that a short write (a full disk) shows here: a
    // buffered one can fail at the final flush unnoticed and still be
    // renamed into place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
    const QByteArray data = serialize(entries_);
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
