// kovalink st uid
#include "KovalinkHID.h"
#include "chip.h"

namespace {

class Uid : public kl::Command {
public:
    void define(CLI::App& app) override {
        app.footer("SRI512 and SRIX4K only. Shown most significant byte first (D0 02 ...).");
    }

    void run(kl::Context& context) override {
        kl::Session& r = context.reader;
        kl::st::selectChip(r);
        unsigned char uid[256] = {};
        unsigned char length = 0;
        r.call("rf_srix4k_getuid", [&] { return rf_srix4k_getuid(r.address(), uid, &length); });
        context.out["uid"] = kl::toHex(kl::Bytes(std::make_reverse_iterator(uid + 8), std::make_reverse_iterator(uid)));
    }
};

}  // namespace

KL_COMMAND(Uid, "st uid", "show the 64-bit UID of an SRI512/SRIX4K")
