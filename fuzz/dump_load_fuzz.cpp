// Card image files: any content through every parser of the toolkit (sector
// text, block lines of blocks and of pages, JSON, raw), each accepted image
// written back in its format and read again, and fitted to each card size.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "card_image.h"

namespace {

namespace image = common::image;

void fitEverywhere(const image::Image& parsed) {
    for (const auto& layout : {common::mifare::kMini, common::mifare::k1K, common::mifare::k4K}) {
        image::Image copy = parsed;
        image::Error error;
        if (image::fitClassic(&copy, layout, &error) && copy.bytes.size() != layout.bytes()) std::abort();
    }
}

// A Classic image written in its own format reads back the same.
void roundTrip(const image::Image& parsed, bool (*parse)(std::string_view, image::Image*, image::Error*),
               const std::string& text) {
    image::Image again;
    image::Error error;
    if (!parse(text, &again, &error) || again.bytes != parsed.bytes || again.known != parsed.known) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    image::Image parsed;
    image::Error error;
    if (image::parseSectors(text, &parsed, &error)) {
        roundTrip(parsed, image::parseSectors, image::sectorsText(parsed));
        fitEverywhere(parsed);
    }
    if (image::parseJson(text, &parsed, &error)) {
        roundTrip(parsed, image::parseJson, image::jsonText(parsed));
        fitEverywhere(parsed);
    }
    if (image::parseBlockLines(text, 16, &parsed, &error) && common::mifare::layoutOfBlocks(parsed.bytes.size() / 16)) {
        (void)image::sectorsText(parsed);
        fitEverywhere(parsed);
    }
    if (image::parseBlockLines(text, 4, &parsed, &error)) (void)image::blockLinesText(parsed, 4);
    if (image::parseClassicRaw(text, &parsed, &error)) fitEverywhere(parsed);
    return 0;
}
