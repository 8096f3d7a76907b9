// kovalink st auth CHALLENGE
#include "KovalinkHID.h"
#include "chip.h"
#include "core/options.h"

namespace {

class Auth : public kl::Command {
public:
    void define(CLI::App& app) override {
        kl::addHex(app, "CHALLENGE", challenge_, 6, "6-byte challenge")->required();
    }

    void run(kl::Context& context) override {
        kl::Session& r = context.reader;
        kl::st::selectChip(r);
        unsigned char answer[256] = {};
        unsigned char length = 0;
        r.call("rf_srix4k_authenticate",
               [&] { return rf_srix4k_authenticate(r.address(), challenge_.data(), answer, &length); });
        context.out["response"] = kl::toHex(answer, length);
    }

private:
    kl::Bytes challenge_;
};

}  // namespace

KL_COMMAND(Auth, "st auth", "SRIX4K anti-clone authentication: the chip's answer to a challenge")
