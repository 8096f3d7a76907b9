// kovalink at88 write PAGE HEX --password HEX
#include "KovalinkHID.h"
#include "card.h"
#include "core/data_hex.h"
#include "core/errors.h"
#include "core/options.h"

namespace {

class Write : public kl::Command {
public:
    void define(CLI::App& app) override {
        kl::addNumber(app, "PAGE", page_, 0, kl::at88::kPages - 1, "page (0-31)")->required();
        kl::addHex(app, "DATA", data_, kl::at88::kPageSize, "8 bytes of hex")->required();
        password_.define(app, true);
        app.footer("Page 0's lock bits change only through 'at88 lock', page 2 only through 'at88 count'.");
    }

    void run(kl::Context& context) override {
        kl::Session& r = context.reader;
        kl::at88::open(r, password_);
        r.call("rf_at020_write", [&] { return rf_at020_write(r.address(), page_, data_.data()); });
        context.out["page"] = page_;
        context.out["written"] = kl::dataHex(context.out, data_);
    }

private:
    unsigned char page_ = 0;
    kl::Bytes data_;
    kl::at88::PasswordChoice password_;
};

}  // namespace

KL_COMMAND(Write, "at88 write", "write an 8-byte page")
