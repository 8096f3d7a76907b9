// kovalink mifare dump FILE [FILE]: the whole card into image files.
#include <sys/stat.h>

#include <algorithm>

#include "card.h"
#include "card_image.h"
#include "core/errors.h"
#include "core/exchange_count.h"
#include "core/progress.h"
#include "key_list.h"
#include "sector_reader.h"

namespace {

using kl::Bytes;
using kl::mifare::kBlockSize;
using kl::mifare::kKeySize;

// The image being filled: every byte unknown until a read or a found key gives it.
class Filling {
public:
    explicit Filling(const kl::mifare::Layout& layout) {
        image.bytes.assign(layout.bytes(), 0);
        image.known.assign(layout.bytes(), false);
    }
    void learn(std::size_t offset, const Bytes& data, std::size_t from = 0, std::size_t length = kBlockSize) {
        std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(from), length,
                    image.bytes.begin() + static_cast<std::ptrdiff_t>(offset));
        std::fill_n(image.known.begin() + static_cast<std::ptrdiff_t>(offset), length, true);
    }
    // A trailer as read shows its access bytes (and key B where it is data);
    // the keys come from the keys that opened the sector.
    void learnSector(const kl::mifare::Layout& layout, unsigned sector, const kl::mifare::SectorRead& read) {
        const unsigned first = layout.firstBlock(sector);
        for (unsigned i = 0; i < read.blocks.size(); ++i) {
            const std::size_t at = (first + i) * kBlockSize;
            if (!read.blocks[i]) continue;
            if (first + i != layout.trailer(sector)) {
                learn(at, *read.blocks[i]);
                continue;
            }
            learn(at + common::mifare::kAccessOffset, *read.blocks[i], common::mifare::kAccessOffset, 4);
        }
        const std::size_t trailer = layout.trailer(sector) * kBlockSize;
        if (read.key_a) learn(trailer + common::mifare::kKeyAOffset, *read.key_a, 0, kKeySize);
        if (read.key_b) learn(trailer + common::mifare::kKeyBOffset, *read.key_b, 0, kKeySize);
    }
    common::image::Image image;
};

// A key found, or null (shown as "-") when none was.
kl::Json keyJson(const std::optional<Bytes>& key) { return key ? kl::Json(kl::toHex(*key)) : kl::Json(); }

bool exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

class Dump : public kl::Command {
public:
    void define(CLI::App& app) override {
        app.add_option("FILE", files_,
                       "output files: .txt/.mct text with sector headers, .eml block lines, .json as Proxmark3 "
                       "writes it, any other name raw (with FILE.keys beside it when something is unknown)")
            ->required()
            ->expected(1, 8)
            ->type_name("FILE...");
        keys_.define(app);
        app.footer("Every sector is searched for key A and for key B (where key B is readable data in the\n"
                   "trailer, it is taken from there). The image holds the keys found; key bytes no candidate\n"
                   "matched, and blocks no key could read, are unknown: dashes in the text formats and JSON,\n"
                   "zeros in a raw image with FILE.keys beside it naming the unknown keys and unread blocks.\n"
                   "A file is written to a temporary name and renamed into place when complete. When some\n"
                   "blocks stay unread (or Ctrl-C stops the dump) the partial image is still written, but\n"
                   "an existing FILE is kept and the partial image goes to FILE.partial; the exit code is 5.\n"
                   "Nothing is written when no block could be read.");
    }

    void run(kl::Context& context) override {
        const std::vector<Bytes> keys = keys_.keys();
        kl::mifare::Card card(context);
        const auto& id = card.search();
        const kl::mifare::Layout layout = id.layout;
        context.out["uid"] = kl::toHex(id.uid);
        context.out["type"] = id.type;
        Filling filling(layout);
        kl::mifare::SectorReader reader(card);
        kl::Json sectors = kl::Json::array();
        std::vector<unsigned> unread;
        std::string stopped;
        kl::Progress progress;
        kl::catchInterrupt();
        for (unsigned s = 0; s < layout.sectors; ++s) {
            if (kl::interrupted()) {
                stopped = "interrupted before sector " + std::to_string(s);
                for (; s < layout.sectors; ++s) unread.push_back(s);
                break;
            }
            progress.show("dump: sector " + std::to_string(s + 1) + " of " + std::to_string(layout.sectors));
            kl::mifare::SectorRead read;
            try {
                read = reader.read(s, keys);
            } catch (const kl::Failure& failure) {
                // The card went away or the reader failed: keep what was read.
                stopped = "sector " + std::to_string(s) + ": " + failure.what();
                for (; s < layout.sectors; ++s) unread.push_back(s);
                break;
            }
            filling.learnSector(layout, s, read);
            if (read.unread() > 0) unread.push_back(s);
            kl::Json row = {{"sector", s},
                            {"key_a", keyJson(read.key_a)},
                            {"key_b", keyJson(read.key_b)},
                            {"blocks_read", read.blocks.size() - read.unread()},
                            {"blocks", read.blocks.size()}};
            if (read.blocked) row["note"] = "access bits inconsistent: sector unusable";
            sectors.push_back(row);
        }
        context.out["sectors"] = sectors;
        context.out["exchanges"] = kl::exchangesSoFar();
        save(context, filling.image, !unread.empty());
        if (!unread.empty()) {
            std::string list;
            for (const unsigned s : unread) list += (list.empty() ? "" : " ") + std::to_string(s);
            context.out["unread_sectors"] = unread;
            throw kl::Failure(kl::kExitReaderStatus,
                              (stopped.empty() ? "" : stopped + "; ") + "sectors not read completely: " + list +
                                  " (marked unknown in the image)");
        }
    }

private:
    void save(kl::Context& context, const common::image::Image& image, bool partial) {
        if (std::none_of(image.known.begin(), image.known.end(), [](bool k) { return k; })) {
            context.out["files"] = kl::Json::array();
            throw kl::Failure(kl::kExitReaderStatus, "no block could be read with the keys tried; no file written");
        }
        kl::Json written = kl::Json::array();
        for (const std::string& file : files_) {
            // A partial image never replaces an existing one.
            const std::string path = partial && exists(file) ? file + ".partial" : file;
            common::image::Error error;
            if (!common::image::saveClassic(path, image, &error)) throw kl::Failure(kl::kExitFailure, error.text());
            written.push_back(path);
        }
        context.out["files"] = written;
    }

    std::vector<std::string> files_;
    kl::mifare::KeyList keys_;
};

}  // namespace

KL_COMMAND(Dump, "mifare dump", "read the whole card into a file (raw and/or text format)")
