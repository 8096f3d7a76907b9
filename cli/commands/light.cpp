// kovalink light COLOUR
#include "KovalinkHID.h"
#include "core/command.h"
#include "core/options.h"

namespace {

class Light : public kl::Command {
public:
    void define(CLI::App& app) override {
        kl::addNumber(app, "COLOUR", colour_, 0, 255, "lamp value, passed to the reader as it is")->required();
        app.footer("The meaning of the values is the reader's (commonly 0 off, 1 red, 2 green, 3 yellow).");
    }

    void run(kl::Context& context) override {
        context.reader.call("rf_light", [&] { return rf_light(context.reader.address(), colour_); });
        context.out["light"] = colour_;
    }

private:
    unsigned char colour_ = 0;
};

}  // namespace

KL_COMMAND(Light, "light", "set the reader's indicator lamp")
