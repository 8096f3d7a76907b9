// kovalink mifare dump FILE [FILE]: the whole card into raw and/or text files.
#include <algorithm>

#include "card.h"
#include "core/errors.h"
#include "dump_file.h"
#include "key_list.h"

namespace {

using kl::Bytes;

class Dump : public kl::Command {
public:
    void define(CLI::App& app) override {
        app.add_option("FILE", files_, "output files: .txt/.mct text with sector headers, .eml text, any other name raw")
            ->required()
            ->expected(1, 2)
            ->type_name("FILE [FILE]");
        keys_.define(app);
        app.footer("Each sector is opened with the first key that works, key A before key B. Key A (and key\n"
                   "B where it reads as zeros) is written into the trailer of the image, so that the image\n"
                   "holds the keys that opened the card. Sectors that no key opens are filled with zeros\n"
                   "and reported (dashes in the text formats); the exit code is then 5.");
    }

    void run(kl::Context& context) override {
        const std::vector<Bytes> keys = keys_.keys();
        kl::mifare::Card card(context);
        const auto& id = card.search();
        kl::mifare::Image image{std::vector<Bytes>(id.layout.blocks(), Bytes(kl::mifare::kBlockSize, 0)),
                                std::vector<bool>(id.layout.blocks(), false)};
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
                        image.blocks[first + i] = *data;
                        image.known[first + i] = true;
                        done[i] = true;
                        ++read;
                    }
                }
            }
            Bytes& trailer = image.blocks[first + count - 1];
            if (key_a) std::copy(key_a->begin(), key_a->end(), trailer.begin());
            if (key_b && std::all_of(trailer.begin() + 10, trailer.end(), [](std::uint8_t b) { return b == 0; })) {
                std::copy(key_b->begin(), key_b->end(), trailer.begin() + 10);
            }
            if (read < count) missing += (missing.empty() ? "" : " ") + std::to_string(s);
            sectors.push_back({{"sector", s},
                               {"key_a", key_a ? kl::toHex(*key_a) : "-"},
                               {"key_b", key_b ? kl::toHex(*key_b) : "-"},
                               {"blocks_read", std::to_string(read) + "/" + std::to_string(count)}});
        }
        for (const std::string& file : files_) kl::mifare::saveDump(file, image);
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
