// kovalink mifare dump FILE [FILE]: the whole card into image files.
#include <algorithm>

#include "card.h"
#include "card_image.h"
#include "core/errors.h"
#include "key_list.h"

namespace {

using kl::Bytes;

class Dump : public kl::Command {
public:
    void define(CLI::App& app) override {
        app.add_option("FILE", files_,
                       "output files: .txt/.mct text with sector headers, .eml block lines, .json as Proxmark3 "
                       "writes it, any other name raw")
            ->required()
            ->expected(1, 2)
            ->type_name("FILE [FILE]");
        keys_.define(app);
        app.footer("Each sector is opened with the first key that works, key A before key B. Key A (and key\n"
                   "B where it reads as zeros) is written into the trailer of the image, so that the image\n"
                   "holds the keys that opened the card; a key no candidate matched is unknown. Blocks that\n"
                   "no key reads are reported; the text formats mark what is unknown with dashes, raw\n"
                   "images hold zeros there. The exit code is then 5.");
    }

    void run(kl::Context& context) override {
        const std::vector<Bytes> keys = keys_.keys();
        kl::mifare::Card card(context);
        const auto& id = card.search();
        common::image::Image image;
        image.bytes.assign(id.layout.bytes(), 0);
        image.known.assign(id.layout.bytes(), false);
        const auto learn = [&](std::size_t offset, const std::uint8_t* data, std::size_t length) {
            std::copy(data, data + length, image.bytes.begin() + static_cast<std::ptrdiff_t>(offset));
            std::fill_n(image.known.begin() + static_cast<std::ptrdiff_t>(offset), length, true);
        };
        kl::Json sectors = kl::Json::array();
        std::string missing;
        for (unsigned s = 0; s < id.layout.sectors; ++s) {
            const unsigned first = id.layout.firstBlock(s), count = id.layout.blockCount(s);
            std::vector<bool> done(count, false);
            unsigned read = 0;
            std::optional<Bytes> key_a, key_b;
            for (const unsigned char type : {kl::mifare::kKeyA, kl::mifare::kKeyB}) {
                if (read == count) break;
                std::optional<Bytes> key = kl::mifare::findKey(card, s, type, keys);
                (type == kl::mifare::kKeyA ? key_a : key_b) = key;
                for (unsigned i = 0; key && i < count; ++i) {
                    if (done[i]) continue;
                    if (std::optional<Bytes> data = card.tryRead(first + i)) {
                        learn((first + i) * kl::mifare::kBlockSize, data->data(), kl::mifare::kBlockSize);
                        done[i] = true;
                        ++read;
                    }
                }
            }
            // A trailer reads key A as zeros, and key B too where it may not be read.
            const std::size_t trailer = (first + count - 1) * kl::mifare::kBlockSize;
            const auto key_b_at = image.bytes.begin() + static_cast<std::ptrdiff_t>(trailer + 10);
            const bool key_b_hidden = std::all_of(key_b_at, key_b_at + 6, [](std::uint8_t b) { return b == 0; });
            std::fill_n(image.known.begin() + static_cast<std::ptrdiff_t>(trailer), 6, false);
            if (key_a) learn(trailer, key_a->data(), key_a->size());
            if (key_b_hidden) std::fill_n(image.known.begin() + static_cast<std::ptrdiff_t>(trailer + 10), 6, false);
            if (key_b_hidden && key_b) learn(trailer + 10, key_b->data(), key_b->size());
            if (read < count) missing += (missing.empty() ? "" : " ") + std::to_string(s);
            sectors.push_back({{"sector", s},
                               {"key_a", key_a ? kl::toHex(*key_a) : "-"},
                               {"key_b", key_b ? kl::toHex(*key_b) : "-"},
                               {"blocks_read", std::to_string(read) + "/" + std::to_string(count)}});
        }
        for (const std::string& file : files_) {
            common::image::Error error;
            if (!common::image::saveClassic(file, image, &error)) throw kl::Failure(kl::kExitFailure, error.text());
        }
        context.out["uid"] = kl::toHex(id.uid);
        context.out["type"] = id.type;
        context.out["sectors"] = sectors;
        context.out["files"] = files_;
        if (!missing.empty()) {
            throw kl::Failure(kl::kExitReaderStatus, "sectors not read completely: " + missing + " (zeros in the image)");
        }
    }

private:
    std::vector<std::string> files_;
    kl::mifare::KeyList keys_;
};

}  // namespace

KL_COMMAND(Dump, "mifare dump", "read the whole card into a file (raw and/or text format)")
