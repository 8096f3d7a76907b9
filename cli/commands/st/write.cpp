// kovalink st write BLOCK HEX
#include "KovalinkHID.h"
#include "chip.h"
#include "core/data_hex.h"
#include "core/errors.h"
#include "core/options.h"

namespace {

class Write : public kl::Command {
public:
    void define(CLI::App& app) override {
        kl::addNumber(app, "BLOCK", block_, 0, 255, "block number")->required();
        kl::addHex(app, "DATA", data_, 2, 4, "2 bytes (SR176) or 4 bytes (SRI512/SRIX4K)")->required();
        chip_.define(app);
        app.footer("Blocks 5 and 6 of SRI chips are count-down counters: they only decrease.");
    }

    void run(kl::Context& context) override {
        if (data_.size() != chip_.blockSize()) {
            throw kl::usageError("a block of this chip has " + std::to_string(chip_.blockSize()) + " bytes");
        }
        if (block_ >= chip_.blocks() && !(block_ == 255 && !chip_.sr176)) {
            throw kl::usageError("the chip has blocks 0.." + std::to_string(chip_.blocks() - 1));
        }
        kl::Session& r = context.reader;
        kl::st::selectChip(r);
        if (chip_.sr176) {
            r.call("rf_sr176_writeblock", [&] { return rf_sr176_writeblock(r.address(), block_, data_.data()); });
        } else {
            r.call("rf_srix4k_writeblock", [&] { return rf_srix4k_writeblock(r.address(), block_, data_.data()); });
        }
        context.out["block"] = block_;
        context.out["now"] = kl::dataHex(context.out, kl::st::readBlock(r, chip_, block_));
    }

private:
    unsigned char block_ = 0;
    kl::Bytes data_;
    kl::st::ChipChoice chip_;
};

}  // namespace

KL_COMMAND(Write, "st write", "write one block of the chip")
