// kovalink ul fast-read START END
#include "KovalinkHID.h"
#include "core/data_hex.h"
#include "core/errors.h"
#include "core/options.h"
#include "tag.h"

namespace {

class FastRead : public kl::Command {
public:
    void define(CLI::App& app) override {
        kl::addNumber(app, "START", start_, 0, 255, "first page")->required();
        kl::addNumber(app, "END", end_, 0, 255, "last page (at most 62 pages after START: one reply frame)")
            ->required();
        auth_.define(app);
    }

    void run(kl::Context& context) override {
        if (end_ < start_) throw kl::usageError("END must not be below START");
        if (end_ - start_ + 1 > 63) throw kl::usageError("at most 63 pages fit one reply");
        kl::ul::Tag tag(context);
        tag.open(auth_);
        unsigned char data[256] = {};
        unsigned char length = 0;
        const auto s = static_cast<unsigned char>(start_), e = static_cast<unsigned char>(end_);
        tag.reader().call("rf_Ntag_Fast_Read", [&] { return rf_Ntag_Fast_Read(tag.address(), s, e, data, &length); });
        kl::Json pages = kl::Json::array();
        for (unsigned i = 0; i + kl::ul::kPageSize <= length; i += kl::ul::kPageSize) {
            pages.push_back({{"page", start_ + i / 4}, {"data", kl::dataHex(context.out, &data[i], 4)}});
        }
        context.out["pages"] = pages;
    }

private:
    unsigned start_ = 0, end_ = 0;
    kl::ul::AuthChoice auth_;
};

}  // namespace

KL_COMMAND(FastRead, "ul fast-read", "read pages START..END in one exchange (NTAG FAST_READ)")
