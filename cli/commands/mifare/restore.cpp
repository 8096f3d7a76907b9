// kovalink mifare restore FILE: write an image back to the card.
#include "card.h"
#include "core/errors.h"
#include "dump_file.h"
#include "key_list.h"

namespace {

using kl::Bytes;

class Restore : public kl::Command {
public:
    void define(CLI::App& app) override {
        app.add_option("FILE", file_, "image in the raw or text format (as written by dump)")
            ->required()
            ->check(CLI::ExistingFile);
        app.add_flag("--trailers", trailers_, "write the sector trailers too (keys and access bits)");
        keys_.define(app);
        app.footer("Writes the data blocks of every sector, opened with the first key that works (key A,\n"
                   "then key B where key A may not write). Block 0 is never written; trailers only with\n"
                   "--trailers; blocks the image marks unread (dashes) are skipped. The image must have as\n"
                   "many blocks as the card.");
    }

    void run(kl::Context& context) override {
        kl::mifare::Image image = kl::mifare::loadDump(file_);
        const std::vector<Bytes> keys = keys_.keys();
        kl::mifare::Card card(context);
        const auto& id = card.search();
        if (image.text && image.blocks.size() < id.layout.blocks()) {  // sectors left out: nothing to write there
            image.blocks.resize(id.layout.blocks(), Bytes(kl::mifare::kBlockSize, 0));
            image.known.resize(id.layout.blocks(), false);
        }
        if (image.blocks.size() != id.layout.blocks()) {
            throw kl::usageError(file_ + " holds " + std::to_string(image.blocks.size()) + " blocks, the " + id.type +
                                 " has " + std::to_string(id.layout.blocks()) + "; nothing was written");
        }
        kl::Json sectors = kl::Json::array();
        std::string failed;
        for (unsigned s = 0; s < id.layout.sectors; ++s) {
            std::vector<unsigned> pending;
            for (unsigned b = id.layout.firstBlock(s); b <= id.layout.trailer(s); ++b) {
                if (b != 0 && image.known[b] && (trailers_ || !id.layout.isTrailer(b))) pending.push_back(b);
            }
            const std::size_t wanted = pending.size();
            for (const unsigned char type : {kl::mifare::kKeyA, kl::mifare::kKeyB}) {
                if (pending.empty() || !kl::mifare::findKey(card, s, type, keys)) continue;
                std::vector<unsigned> refused;
                for (unsigned b : pending) {
                    if (!card.tryWrite(b, image.blocks[b])) refused.push_back(b);
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
