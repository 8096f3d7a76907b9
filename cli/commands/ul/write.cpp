// kovalink ul write PAGE HEX
#include "core/data_hex.h"
#include "core/errors.h"
#include "core/options.h"
#include "tag.h"

namespace {

class Write : public kl::Command {
public:
    void define(CLI::App& app) override {
        kl::addNumber(app, "PAGE", page_, 0, 255, "page number")->required();
        kl::addHex(app, "DATA", data_, kl::ul::kPageSize, "4 bytes of hex")->required();
        app.add_flag("--lock-bits", lock_bits_, "allow pages 2 (lock bytes) and 3 (one-time programmable)");
        auth_.define(app);
        app.footer("Pages 0 and 1 hold the UID and are refused. Pages 2 and 3 only take bits that are set,\n"
                   "for good, and are written only with --lock-bits.");
    }

    void run(kl::Context& context) override {
        if (page_ < 2) throw kl::usageError("pages 0 and 1 hold the UID and cannot be written");
        if (page_ < 4 && !lock_bits_) {
            throw kl::usageError("page " + std::to_string(page_) + " sets lock or OTP bits for good; add --lock-bits");
        }
        kl::ul::Tag tag(context);
        tag.open(auth_);
        kl::ul::Tag::checkPages(tag.identify(), page_, 1, "nothing was written");
        tag.write(page_, data_);
        context.out["page"] = page_;
        context.out["written"] = kl::dataHex(context.out, data_);
    }

private:
    unsigned page_ = 0;
    kl::Bytes data_;
    bool lock_bits_ = false;
    kl::ul::AuthChoice auth_;
};

}  // namespace

KL_COMMAND(Write, "ul write", "write 4 bytes to a page")
