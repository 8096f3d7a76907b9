// kovalink ul read PAGE [COUNT]
#include "core/data_hex.h"
#include "core/errors.h"
#include "core/options.h"
#include "tag.h"

#include <algorithm>

namespace {

class Read : public kl::Command {
public:
    void define(CLI::App& app) override {
        kl::addNumber(app, "PAGE", page_, 0, 255, "first page")->required();
        kl::addNumber(app, "COUNT", count_, 1, 256, "number of pages (default 4)");
        auth_.define(app);
    }

    void run(kl::Context& context) override {
        kl::ul::Tag tag(context);
        tag.open(auth_);
        const kl::ul::TagType type = tag.identify();
        kl::ul::Tag::checkPages(type, page_, 1, "nothing was read");
        // Up to the tag's last page: a read past it would wrap around to page 0.
        const unsigned count = std::min(count_, type.pages - page_);
        std::string stopped;
        const kl::Bytes data = tag.readPages(page_, count, &stopped);
        kl::Json pages = kl::Json::array();
        for (std::size_t i = 0; i * kl::ul::kPageSize < data.size(); ++i) {
            pages.push_back({{"page", page_ + i}, {"data", kl::dataHex(context.out, &data[i * kl::ul::kPageSize], kl::ul::kPageSize)}});
        }
        context.out["type"] = type.name;
        context.out["pages"] = pages;
        if (count < count_) context.out["note"] = "stopped at the last page, " + std::to_string(type.pages - 1);
        if (!stopped.empty()) throw kl::Failure(kl::kExitReaderStatus, "the tag refused " + stopped);
    }

private:
    unsigned page_ = 0;
    unsigned count_ = 4;
    kl::ul::AuthChoice auth_;
};

}  // namespace

KL_COMMAND(Read, "ul read", "read pages (four per exchange)")
