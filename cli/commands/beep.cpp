// kovalink beep [MS]
#include "KovalinkHID.h"
#include "core/command.h"
#include "core/options.h"

namespace {

class Beep : public kl::Command {
public:
    void define(CLI::App& app) override {
        kl::addNumber(app, "MS", milliseconds_, 0, 2550, "duration in ms, rounded down to 10 ms (default 400)");
    }

    void run(kl::Context& context) override {
        const auto units = static_cast<unsigned char>(milliseconds_ / 10);
        context.reader.call("rf_beep", [&] { return rf_beep(context.reader.address(), units); });
        context.out["beeped_ms"] = units * 10;
    }

private:
    unsigned milliseconds_ = 400;
};

}  // namespace

KL_COMMAND(Beep, "beep", "sound the reader's beeper")
