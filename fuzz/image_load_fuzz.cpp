// kovalink's image loader: any file content through loadClassic (the format
// told by content) and loadPages, and each loaded Classic image fitted to
// every card size, as `kovalink mifare restore` and `ul restore` take files.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "card_image.h"

namespace {

namespace image = common::image;

const std::string& scratchFile() {
    static const std::string path = [] {
        char pattern[] = "/tmp/kovalink-image-fuzz-XXXXXX";
        const int fd = ::mkstemp(pattern);
        if (fd < 0) std::abort();
        ::close(fd);
        std::atexit([] { std::remove(scratchFile().c_str()); });
        return std::string(pattern);
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > image::kMaxFileSize) return 0;
    const std::string& path = scratchFile();
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, out) != size) std::abort();
    std::fclose(out);

    image::Image loaded;
    image::Error error;
    if (image::loadClassic(path, &loaded, &error)) {
        if (loaded.known.size() != loaded.bytes.size()) std::abort();
        for (const auto& layout : {common::mifare::kMini, common::mifare::k1K, common::mifare::k4K}) {
            image::Image copy = loaded;
            if (image::fitClassic(&copy, layout, &error) && copy.bytes.size() != layout.bytes()) std::abort();
        }
    } else if (error.text().empty()) {
        std::abort();  // a refusal always says why
    }
    for (const std::size_t pages : {16u, 45u, 48u}) {
        image::Image pages_image;
        if (image::loadPages(path, pages * 4, &pages_image, &error) && pages_image.bytes.size() != pages * 4) {
            std::abort();
        }
    }
    return 0;
}
