// The reader's type A commands take any payload the host may send: wrong
// lengths are refused (or left to another family's handler of the same
// code), never read past.
#include <gtest/gtest.h>

#include <random>

#include "server/families.h"
#include "cards/toolkit.h"

namespace {

TEST(TypeADispatch, EveryPayloadLengthIsHandledSafely) {
    const sim::Firmware firmware = sim::fullFirmware();
    const sim::CardCatalog catalog = sim::fullCatalog();
    std::mt19937 random(7);
    const std::uint8_t codes[] = {0x1F, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x2E,
                                  0x33, 0x35, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F, 0x50,
                                  0x51, 0x52, 0x56, 0x57, 0x58, 0x59, 0x5C, 0x63, 0x64, 0x65, 0x70, 0x83, 0x84,
                                  0x86, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x93, 0x94, 0x95, 0x96};
    for (const char* type : {"mifare1k", "mifare4k", "ultralightc", "ntag213"}) {
        sim::Reader reader;
        std::string why;
        reader.field.place(catalog.make(type, {}, &why));
        for (const std::uint8_t code : codes) {
            for (std::size_t length = 0; length <= sim::kMaxReplyPayload; length += length < 64 ? 1 : 47) {
                sim::Command command{0, code, sim::Bytes(length)};
                for (auto& b : command.payload) b = static_cast<std::uint8_t>(random());
                if (length > 0 && random() % 2) command.payload[0] = static_cast<std::uint8_t>(length);
                const sim::Reply reply = firmware.dispatch(reader, command);
                EXPECT_LE(reply.data.size(), sim::kMaxReplyPayload);
                EXPECT_NE(reply.status, 1);
            }
            // Keep a card selected for the next code.
            firmware.dispatch(reader, {0, 0x8C, {0x52}});
        }
    }
}

}  // namespace
