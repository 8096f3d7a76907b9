// kovalink at88 read FIRST [COUNT]
#include "KovalinkHID.h"
#include "card.h"
#include "core/data_hex.h"
#include "core/errors.h"
#include "core/options.h"
#include "core/progress.h"

namespace {

class Read : public kl::Command {
public:
    void define(CLI::App& app) override {
        kl::addNumber(app, "FIRST", first_, 0, kl::at88::kPages - 1, "first page (0-31)")->required();
        kl::addNumber(app, "COUNT", count_, 1, kl::at88::kPages, "number of pages (default 1)");
        password_.define(app, false);
        app.footer("Pages 0-2 are always readable, page 3 (the password) never, the others after the password.");
    }

    void run(kl::Context& context) override {
        if (first_ + count_ > kl::at88::kPages) throw kl::usageError("pages end at 31");
        kl::Session& r = context.reader;
        kl::at88::open(r, password_);
        kl::Json pages = kl::Json::array();
        kl::Progress progress;
        for (unsigned p = first_; p < first_ + count_; ++p) {
            progress.step("page", p, first_, first_ + count_ - 1);
            const auto page = static_cast<unsigned char>(p);
            unsigned char data[256] = {};
            unsigned char length = 0;
            r.call("rf_at020_read", [&] { return rf_at020_read(r.address(), page, data, &length); });
            pages.push_back({{"page", p}, {"data", kl::dataHex(context.out, data, kl::at88::kPageSize)}});
        }
        context.out["pages"] = pages;
    }

private:
    unsigned first_ = 0, count_ = 1;
    kl::at88::PasswordChoice password_;
};

}  // namespace

KL_COMMAND(Read, "at88 read", "read 8-byte pages")
