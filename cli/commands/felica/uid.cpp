// kovalink felica uid
#include "KovalinkHID.h"
#include "core/command.h"

namespace {

const bool kGroup = kl::registerGroup("felica", "FeliCa cards: the card identifier");

class Uid : public kl::Command {
public:
    void define(CLI::App& app) override {
        app.footer("The 6-byte card number of the IDm (the IDm without its manufacturer code).");
    }

    void run(kl::Context& context) override {
        kl::Session& r = context.reader;
        const auto a = r.address();
        r.call("rf_init_type", [&] { return rf_init_type(a, 'C'); });
        unsigned char uid[256] = {};
        int length = 0;
        r.call("rf_felica_get_uid", [&] { return rf_felica_get_uid(a, uid, &length); });
        context.out["uid"] = kl::toHex(uid, 6);
    }
};

}  // namespace

KL_COMMAND(Uid, "felica uid", "show the FeliCa card's 6-byte identifier")
