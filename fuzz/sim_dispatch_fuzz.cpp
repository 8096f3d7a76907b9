// The simulated reader's request decoder and command dispatch: any byte
// stream, cut into reports, reaches every command handler of every family
// with the cards of the catalogue on the antenna.
#include <cstdint>

#include "server/families.h"
#include "cards/toolkit.h"
#include "frame_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const sim::Firmware firmware = sim::fullFirmware();
    static const sim::CardCatalog catalog = sim::fullCatalog();
    sim::Reader reader;
    std::string why;
    for (const sim::CardType& type : catalog.types()) {
        if (sim::CardPtr card = type.make({}, &why)) reader.field.place(card);
    }
    common::FrameDecoder decoder;
    std::vector<common::DecodedFrame> frames;
    // The first byte picks the card family, so every family is reached.
    static const std::uint8_t families[] = {'A', 'B', 'C', '1', 's', 'r'};
    if (size > 0) reader.card_family = families[data[0] % sizeof families];
    for (std::size_t offset = size > 0 ? 1 : 0; offset < size; offset += 31) {
        decoder.feed(data + offset, std::min<std::size_t>(31, size - offset), frames);
    }
    for (const common::DecodedFrame& frame : frames) {
        const sim::Reply reply = firmware.dispatch(reader, frame.command);
        common::toReports(common::encodeReply(reader.address, frame.command.code, reply.status, reply.data));
    }
    return 0;
}
