// kovalink mifare restore FILE: write an image back to the card.

#include "card.h"
#include "card_image.h"
#include "core/errors.h"
#include "core/warning.h"
#include "core/progress.h"
#include "key_list.h"
#include "trailer_guard.h"

namespace {

using kl::Bytes;
using kl::mifare::kBlockSize;
using kl::mifare::kKeySize;

// The keys the image holds for a sector (key A, then key B), as far as it knows them.
std::vector<Bytes> imageKeys(const common::image::Image& image, const kl::mifare::Layout& layout, unsigned sector) {
    std::vector<Bytes> keys;
    const std::size_t trailer = layout.trailer(sector) * kBlockSize;
    for (const std::size_t at : {trailer + common::mifare::kKeyAOffset, trailer + common::mifare::kKeyBOffset}) {
        if (image.knows(at, kKeySize)) keys.emplace_back(image.bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                                         image.bytes.begin() + static_cast<std::ptrdiff_t>(at + kKeySize));
    }
    return keys;
}

// The UID at the start of block 0, when the image knows it.
std::optional<Bytes> imageUid(const common::image::Image& image, std::size_t length) {
    if (!image.knows(0, length)) return std::nullopt;
    return Bytes(image.bytes.begin(), image.bytes.begin() + static_cast<std::ptrdiff_t>(length));
}

class Restore : public kl::Command {
public:
    void define(CLI::App& app) override {
        app.add_option("FILE", file_, "image in any format dump writes (raw, sector text, block lines, JSON)")
            ->required();
        app.add_flag("--trailers", trailers_, "write the sector trailers too (keys and access bits)");
        app.add_flag("--force", force_, "with --trailers: also write access bits that no key may change again");
        keys_.define(app);
        app.footer("Writes the data blocks of every sector, opened with the keys the image holds for it\n"
                   "first, then the keys given and the built-in ones (key A, then key B where key A may\n"
                   "not write). Block 0 is never written. Blocks of which the image does not know every\n"
                   "byte (dashes, or unknown in FILE.keys) are skipped: a trailer with an unknown key or\n"
                   "unknown access bits is never written. With --trailers a trailer is written last in\n"
                   "its sector, and only when its access bits are valid (and, where no key could change\n"
                   "them again, with --force). A warning says when the image's UID is not the card's.\n" +
                   app.get_footer());
    }

    void run(kl::Context& context) override {
        common::image::Image image;
        common::image::Error error;
        if (!common::image::loadClassic(file_, &image, &error)) throw kl::usageError(error.text());
        const std::vector<Bytes> keys = keys_.keys();
        kl::mifare::Card card(context);
        const auto& id = card.search();
        if (!common::image::fitClassic(&image, id.layout, &error)) throw kl::usageError(error.text());
        context.out["uid"] = kl::toHex(id.uid);
        if (const auto uid = imageUid(image, id.uid.size()); uid && *uid != id.uid) {
            kl::warn(context.out, "the image was taken from the card " + kl::toHex(*uid) + ", not from this one (" +
                                  kl::toHex(id.uid) + ")");
        }
        kl::Json sectors = kl::Json::array();
        kl::Json refused = kl::Json::array();
        std::string failed;
        kl::Progress progress;
        for (unsigned s = 0; s < id.layout.sectors; ++s) {
            progress.show("restore: sector " + std::to_string(s + 1) + " of " + std::to_string(id.layout.sectors));
            std::vector<unsigned> pending;
            for (unsigned b = id.layout.firstBlock(s); b <= id.layout.trailer(s); ++b) {
                const bool whole = image.knows(b * kBlockSize, kBlockSize);
                if (b == 0 || !whole) continue;
                if (id.layout.isTrailer(b)) {
                    if (!trailers_) continue;
                    const std::string why = kl::mifare::trailerRefusal(&image.bytes[b * kBlockSize], s, force_);
                    if (!why.empty()) {
                        refused.push_back(why);
                        continue;
                    }
                }
                pending.push_back(b);
            }
            const std::size_t wanted = pending.size();
            std::vector<Bytes> candidates = imageKeys(image, id.layout, s);
            candidates.insert(candidates.end(), keys.begin(), keys.end());
            candidates = kl::mifare::uniqueKeys(std::move(candidates));
            for (const unsigned char type : {kl::mifare::kKeyA, kl::mifare::kKeyB}) {
                if (pending.empty() || !kl::mifare::findKey(card, s, type, candidates)) continue;
                std::vector<unsigned> left;
                for (std::size_t i = 0; i < pending.size(); ++i) {
                    const unsigned b = pending[i];
                    const auto at = image.bytes.begin() + static_cast<std::ptrdiff_t>(b * kBlockSize);
                    if (card.tryWrite(b, Bytes(at, at + kBlockSize))) continue;
                    left.push_back(b);
                    card.search();  // a refused write leaves the card idle
                    if (!kl::mifare::findKey(card, s, type, candidates)) {
                        left.insert(left.end(), pending.begin() + static_cast<std::ptrdiff_t>(i + 1), pending.end());
                        break;
                    }
                }
                pending = left;
            }
            if (!pending.empty()) failed += (failed.empty() ? "" : " ") + std::to_string(s);
            sectors.push_back({{"sector", s}, {"blocks_written", wanted - pending.size()}, {"blocks", wanted}});
        }
        context.out["sectors"] = sectors;
        if (!refused.empty()) context.out["trailers_refused"] = refused;
        if (!failed.empty()) throw kl::Failure(kl::kExitReaderStatus, "sectors not written completely: " + failed);
        if (!refused.empty()) {
            throw kl::Failure(kl::kExitUsage, std::to_string(refused.size()) + " trailer(s) not written: " +
                                                  refused.front().get<std::string>());
        }
    }

private:
    std::string file_;
    bool trailers_ = false;
    bool force_ = false;
    kl::mifare::KeyList keys_;
};

}  // namespace

KL_COMMAND(Restore, "mifare restore", "write an image file back to the card")
