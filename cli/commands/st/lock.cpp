// kovalink st lock HEX --yes: SR176 protection byte, SRIX4K lock register
// (1 byte) or SRI512 lock field (2 bytes).
#include "KovalinkHID.h"
#include "chip.h"
#include "core/errors.h"
#include "core/options.h"

namespace {

class Lock : public kl::Command {
public:
    void define(CLI::App& app) override {
        kl::addHex(app, "BITS", bits_, 1, 2, "SR176: 1 protection byte; SRIX4K: 1 lock-register byte; SRI512: 2 bytes")
            ->required();
        app.add_flag("--yes", yes_, "confirm: lock bits are set for good");
        chip_.define(app);
    }

    void run(kl::Context& context) override {
        if (!yes_) throw kl::usageError("lock bits are permanent; add --yes");
        if (chip_.sr176 && bits_.size() != 1) throw kl::usageError("the SR176 protection is 1 byte");
        kl::Session& r = context.reader;
        kl::st::selectChip(r);
        const auto a = r.address();
        if (chip_.sr176) {
            r.call("rf_sr176_protectblock", [&] { return rf_sr176_protectblock(a, bits_[0]); });
        } else if (bits_.size() == 1) {
            r.call("rf_srix4k_writelockreg", [&] { return rf_srix4k_writelockreg(a, bits_[0]); });
        } else {
            r.call("rf_sri512_writelockreg", [&] { return rf_sri512_writelockreg(a, bits_.data()); });
        }
        context.out["locked"] = kl::toHex(bits_);
    }

private:
    kl::Bytes bits_;
    bool yes_ = false;
    kl::st::ChipChoice chip_;
};

}  // namespace

KL_COMMAND(Lock, "st lock", "set lock bits of the chip for good")
