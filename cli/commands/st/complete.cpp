// kovalink st complete
#include "KovalinkHID.h"
#include "chip.h"

namespace {

class Complete : public kl::Command {
public:
    void define(CLI::App& app) override {
        app.footer("The chip then stays silent until the field is switched off and on, which every st\n"
                   "command does first.");
    }

    void run(kl::Context& context) override {
        kl::Session& r = context.reader;
        kl::st::selectChip(r);
        r.call("rf_st_completion", [&] { return rf_st_completion(r.address()); });
        context.out["completed"] = true;
    }
};

}  // namespace

KL_COMMAND(Complete, "st complete", "select the chip and end the work with it (completion)")
