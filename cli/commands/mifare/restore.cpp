// kovalink mifare restore FILE: write an image back to the card.
#include "card.h"
#include "card_image.h"
#include "core/errors.h"
#include "key_list.h"

namespace {

using kl::Bytes;

class Restore : public kl::Command {
public:
    void define(CLI::App& app) override {
        app.add_option("FILE", file_, "image in any format dump writes (raw, sector text, block lines, JSON)")
            ->required()
            ->check(CLI::ExistingFile);
        app.add_flag("--trailers", trailers_, "write the sector trailers too (keys and access bits)");
        keys_.define(app);
        app.footer("Writes the data blocks of every sector, opened with the first key that works (key A,\n"
                   "then key B where key A may not write). Block 0 is never written; trailers only with\n"
                   "--trailers; blocks of which the image does not know every byte (dashes) are skipped.\n"
                   "The image must have as many blocks as the card; a sector text may leave sectors out.");
    }

    void run(kl::Context& context) override {
        common::image::Image image;
        common::image::Error error;
        if (!common::image::loadClassic(file_, &image, &error)) throw kl::usageError(error.text());
        const std::vector<Bytes> keys = keys_.keys();
        kl::mifare::Card card(context);
        const auto& id = card.search();
        if (!common::image::fitClassic(&image, id.layout, &error)) throw kl::usageError(error.text());
        kl::Json sectors = kl::Json::array();
        std::string failed;
        for (unsigned s = 0; s < id.layout.sectors; ++s) {
            std::vector<unsigned> pending;
            for (unsigned b = id.layout.firstBlock(s); b <= id.layout.trailer(s); ++b) {
                const bool whole = image.knows(b * kl::mifare::kBlockSize, kl::mifare::kBlockSize);
                if (b != 0 && whole && (trailers_ || !id.layout.isTrailer(b))) pending.push_back(b);
            }
            const std::size_t wanted = pending.size();
            for (const unsigned char type : {kl::mifare::kKeyA, kl::mifare::kKeyB}) {
                if (pending.empty() || !kl::mifare::findKey(card, s, type, keys)) continue;
                std::vector<unsigned> refused;
                for (unsigned b : pending) {
                    const auto at = image.bytes.begin() + static_cast<std::ptrdiff_t>(b * kl::mifare::kBlockSize);
                    if (!card.tryWrite(b, Bytes(at, at + kl::mifare::kBlockSize))) refused.push_back(b);
                }
                pending = refused;
            }
            if (!pending.empty()) failed += (failed.empty() ? "" : " ") + std::to_string(s);
            sectors.push_back({{"sector", s},
                               {"blocks_written", std::to_string(wanted - pending.size()) + "/" + std::to_string(wanted)}});
        }
        context.out["uid"] = kl::toHex(id.uid);
        context.out["sectors"] = sectors;
        if (!failed.empty()) throw kl::Failure(kl::kExitReaderStatus, "sectors not written completely: " + failed);
    }

private:
    std::string file_;
    bool trailers_ = false;
    kl::mifare::KeyList keys_;
};

}  // namespace

KL_COMMAND(Restore, "mifare restore", "write an image file back to the card")
