// The Ultralight-family tag of a page test: its image in the simulator, and
// the page fields that show it.
#pragma once

#include <QString>

#include "cards/ultralight.h"
#include "support/torvik_session.h"

namespace torviktest {

inline sim::UltralightCard* firstTag(sim::Reader& r) { return r.field.all<sim::UltralightCard>().front(); }

// The tag's image as the simulator holds it.
inline sim::Bytes tagImage(SimReader& reader) {
    return reader.withReader([](sim::Reader& r) { return firstTag(r)->image(); });
}

// Fills the user pages from..to (inclusive) with a pattern of their own:
// page p holds p, 0xA0 + p % 16, ~p, 0x5C.
inline void fillUserPages(SimReader& reader, int from, int to) {
    reader.withReader([from, to](sim::Reader& r) {
        sim::Bytes image = firstTag(r)->image();
        for (int p = from; p <= to; ++p) {
            const std::uint8_t page[4] = {std::uint8_t(p), std::uint8_t(0xA0 + p % 16), std::uint8_t(~p), 0x5C};
            std::copy(page, page + 4, image.begin() + 4 * p);
        }
        std::string why;
        firstTag(r)->loadImage(image, &why);
    });
}

// The hex of page p of an image.
inline QString pageHex(const sim::Bytes& image, int p) {
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(image.data()) + 4 * p, 4).toHex().toUpper());
}

// What the page shows for tag page p: its field, or its two fields joined.
inline QString shownPage(const TorvikSession& s, int p) {
    return s.text(5000 + p) + s.text(5200 + p);
}

}  // namespace torviktest
