// kovalink at88 deselect
#include "KovalinkHID.h"
#include "card.h"

namespace {

class Deselect : public kl::Command {
public:
    void define(CLI::App&) override {}

    void run(kl::Context& context) override {
        kl::Session& r = context.reader;
        kl::at88::open(r, {});
        r.call("rf_at020_deselect", [&] { return rf_at020_deselect(r.address()); });
        context.out["deselected"] = true;
    }
};

}  // namespace

KL_COMMAND(Deselect, "at88 deselect", "wake the card and release it")
