// Helpers of the memory-chip page tests (ST chips, AT88RF020, FeliCa):
// card images placed with the simulator's dump= option, the requests the
// reader received, and a page built on a context whose library table a test
// has wrapped to see answers the simulated cards never give.
#pragma once

#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "frame_codec.h"
#include "support/torvik_session.h"

namespace chiptest {

// `size` bytes the tests choose: byte i is (i * 37 + seed) mod 256.
inline QByteArray pattern(int size, int seed) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 37 + seed) & 0xFF);
    return bytes;
}

inline QString hex(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex().toUpper()); }

// Writes `image` into the folder; the path for a card's dump= option.
inline QString writeImage(const QTemporaryDir& dir, const QByteArray& image) {
    const QString path = dir.filePath(QStringLiteral("image.bin"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size()) qWarning("cannot write %s", qPrintable(path));
    return path;
}

// The memory of the first card of type `Card` on the antenna, as the
// simulator holds it.
template <typename Card>
QByteArray cardMemory(torviktest::TorvikSession& s) {
    return s.reader()->withReader([](sim::Reader& r) {
        const sim::Bytes& m = r.field.all<Card>().front()->memory();
        return QByteArray(reinterpret_cast<const char*>(m.data()), int(m.size()));
    });
}

// Writes block (or page) n from its field through the page's selector
// (1020), field (5000 + n) and "写卡" (1012); the result strip's text.
inline QString writeThroughPage(torviktest::TorvikSession& s, int n, const QString& hexText) {
    s.select(1020, n);
    s.setText(5000 + n, hexText);
    s.click(1012);
    return s.result();
}

// A failure of the function `label` in the result strip.
inline bool refused(const QString& result, const char* label) {
    return result.startsWith(QStringLiteral("Error: ")) &&
           result.endsWith(QStringLiteral(" ,函数: ") + QString::fromUtf8(label));
}

// How many of the frames the reader received were this command, with this
// payload, to address 0.
inline int countRequests(const std::vector<sim::Bytes>& frames, std::uint8_t code, const sim::Bytes& payload = {}) {
    const sim::Bytes wanted = common::encodeRequest(0, code, payload);
    int count = 0;
    for (const sim::Bytes& frame : frames) count += frame == wanted ? 1 : 0;
    return count;
}

// The session's bound library table, for a test to replace single entries,
// and a context over the session's own state and result strip.
struct WrappedContext {
    explicit WrappedContext(torviktest::TorvikSession& s)
        : api(s.context().api()),
          context(std::make_unique<PageContext>(api, s.state(), *s.window()->resultStrip(), s.window(),
                                                torviktest::outDir(), [] {})) {}
    ReaderApi api;
    std::unique_ptr<PageContext> context;
};

}  // namespace chiptest
