// Dump-file loading: any file content, as text or as a raw image, for a 1K,
// a 4K and a tag's page image.
#include <cstdint>
#include <string>

#include "cards/dump.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string why;
    for (const std::size_t classic : {std::size_t{1024}, std::size_t{4096}}) {
        sim::Bytes image(classic, 0x00);
        if (sim::dump::parseClassicText(text, classic, &image, &why)) (void)sim::dump::classicText(image);
    }
    sim::Bytes pages(180, 0x00);
    sim::dump::parsePagesText(text, pages.size(), &pages, &why);
    return 0;
}
