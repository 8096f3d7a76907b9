// kovalink at88 lock HEX | count HEX: the two commands that change pages 0 and 2.
#include "KovalinkHID.h"
#include "card.h"
#include "core/errors.h"
#include "core/options.h"

namespace {

struct Operation {
    const char* function;
    std::size_t length;
    int (*call)(int, const unsigned char*);
    const char* help;
    bool permanent;
};

const Operation kLock = {"rf_at020_lock", 4, rf_at020_lock, "4 lock bytes (set for good)", true};
const Operation kCount = {"rf_at020_count", 6, rf_at020_count, "6 bytes: the new signature stored with the count",
                          false};

template <const Operation& op>
class Change : public kl::Command {
public:
    void define(CLI::App& app) override {
        kl::addHex(app, "DATA", data_, op.length, op.help)->required();
        password_.define(app, true);
        if (op.permanent) app.add_flag("--yes", yes_, "confirm: lock bits are set for good");
    }

    void run(kl::Context& context) override {
        if (op.permanent && !yes_) throw kl::usageError("lock bits are permanent; add --yes");
        kl::Session& r = context.reader;
        kl::at88::open(r, password_);
        r.call(op.function, [&] { return op.call(r.address(), data_.data()); });
        context.out["done"] = op.function;
    }

private:
    kl::Bytes data_;
    bool yes_ = false;
    kl::at88::PasswordChoice password_;
};

}  // namespace

KL_COMMAND(Change<kLock>, "at88 lock", "set lock bits of page 0")
KL_COMMAND(Change<kCount>, "at88 count", "count down and store a signature in page 2")
