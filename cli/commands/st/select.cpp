// kovalink st select
#include "chip.h"

namespace {

class Select : public kl::Command {
public:
    void define(CLI::App&) override {}
    void run(kl::Context& context) override { context.out["chip_id"] = kl::toHex(kl::st::selectChip(context.reader)); }
};

}  // namespace

KL_COMMAND(Select, "st select", "initiate the chips in the field and select one; shows its chip id")
