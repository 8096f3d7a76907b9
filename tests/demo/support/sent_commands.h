// The commands a simulated reader received, decoded from the frames on the
// wire: what page tests check when they ask "what was sent".
#pragma once

#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "frame_codec.h"
#include "support/torvik_session.h"

namespace torviktest {

inline std::vector<common::Command> sentCommands(SimReader& reader) {
    std::vector<common::Command> commands;
    common::FrameDecoder decoder;
    for (const sim::Bytes& frame : reader.takeRequests()) {
        std::vector<common::DecodedFrame> frames;
        decoder.feed(frame.data(), frame.size(), frames);
        for (const common::DecodedFrame& decoded : frames)
            if (decoded.ok) commands.push_back(decoded.command);
    }
    return commands;
}

// The commands with this code, in order.
inline std::vector<common::Command> sentWithCode(SimReader& reader, int code) {
    std::vector<common::Command> found;
    for (const common::Command& c : sentCommands(reader))
        if (c.code == code) found.push_back(c);
    return found;
}

// Switches the reader's field off and on: every card loses its power.
inline void resetField(SimReader& reader) {
    reader.withReader([](sim::Reader& r) {
        r.setAntenna(false);
        r.setAntenna(true);
    });
}

// Writes a raw card image into `dir`; the path for a card's dump= option.
inline QString writeDump(const QTemporaryDir& dir, const QByteArray& image) {
    const QString path = dir.filePath(QStringLiteral("card.bin"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(image);
    return path;
}

}  // namespace torviktest
