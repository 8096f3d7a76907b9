// kovalink ul read PAGE [COUNT]
#include "core/errors.h"
#include "core/options.h"
#include "tag.h"

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
        kl::Json pages = kl::Json::array();
        for (unsigned p = page_; p < page_ + count_; p += 4) {
            const kl::Bytes data = tag.read4(p);
            for (unsigned i = 0; i < 4 && p + i < page_ + count_; ++i) {
                pages.push_back({{"page", p + i}, {"data", kl::toHex(&data[i * 4], 4, " ")}});
            }
        }
        context.out["pages"] = pages;
    }

private:
    unsigned page_ = 0;
    unsigned count_ = 4;
    kl::ul::AuthChoice auth_;
};

}  // namespace

KL_COMMAND(Read, "ul read", "read pages (four per exchange)")
