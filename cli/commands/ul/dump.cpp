// kovalink ul dump FILE: every page into a raw or text file.
#include <algorithm>

#include "card_image.h"
#include "core/errors.h"
#include "core/options.h"
#include "tag.h"

namespace {

class Dump : public kl::Command {
public:
    void define(CLI::App& app) override {
        app.add_option("FILE", file_, "output: .txt, .mct or .eml one page per line in hex, any other name raw bytes")
            ->required();
        kl::addNumber(app, "--pages", pages_, 1, 256, "number of pages (default: from the tag's type)");
        auth_.define(app);
    }

    void run(kl::Context& context) override {
        kl::ul::Tag tag(context);
        const kl::Bytes uid = tag.open(auth_);
        const kl::ul::TagType type = tag.identify();
        const unsigned pages = pages_ > 0 ? pages_ : type.pages;
        kl::ul::Tag::checkPages(type, 0, pages, "nothing was read");
        // Pages that never read (an Ultralight C's key) or that the tag
        // refuses stay unknown in the image: dashes in a text file.
        std::string stopped;
        const unsigned wanted = std::min(pages, type.readable);
        const kl::Bytes data = tag.readPages(0, wanted, &stopped);
        common::image::Image image = common::image::Image::of(data);
        image.bytes.resize(pages * kl::ul::kPageSize, 0);
        image.known.resize(pages * kl::ul::kPageSize, false);
        common::image::Error error;
        if (!common::image::savePages(file_, image, &error)) throw kl::Failure(kl::kExitFailure, error.text());
        context.out["uid"] = kl::toHex(uid);
        context.out["type"] = type.name;
        context.out["pages"] = pages;
        context.out["pages_read"] = data.size() / kl::ul::kPageSize;
        context.out["file"] = file_;
        if (!stopped.empty()) throw kl::Failure(kl::kExitReaderStatus, "the tag refused " + stopped + "; the pages before it were saved");
    }

private:
    std::string file_;
    unsigned pages_ = 0;
    kl::ul::AuthChoice auth_;
};

}  // namespace

KL_COMMAND(Dump, "ul dump", "read every page into a file (raw or text format)")
