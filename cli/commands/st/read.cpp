// kovalink st read FIRST [COUNT]
#include "chip.h"
#include "core/data_hex.h"
#include "core/errors.h"
#include "core/options.h"
#include "core/progress.h"

namespace {

class Read : public kl::Command {
public:
    void define(CLI::App& app) override {
        kl::addNumber(app, "FIRST", first_, 0, 255, "first block (255: the SRI512/SRIX4K system block)")->required();
        kl::addNumber(app, "COUNT", count_, 1, 128, "number of blocks (default 1)");
        chip_.define(app);
    }

    void run(kl::Context& context) override {
        if (first_ != 255 && first_ + count_ > chip_.blocks()) {
            throw kl::usageError("the chip has blocks 0.." + std::to_string(chip_.blocks() - 1));
        }
        if (first_ == 255 && (chip_.sr176 || count_ != 1)) throw kl::usageError("block 255 is one system block of SRI chips");
        context.out["chip_id"] = kl::toHex(kl::st::selectChip(context.reader));
        kl::Json blocks = kl::Json::array();
        kl::Progress progress;
        for (unsigned b = first_; b < first_ + count_; ++b) {
            progress.step("block", b, first_, first_ + count_ - 1);
            blocks.push_back({{"block", b}, {"data", kl::dataHex(context.out, kl::st::readBlock(context.reader, chip_, b))}});
        }
        context.out["blocks"] = blocks;
    }

private:
    unsigned first_ = 0, count_ = 1;
    kl::st::ChipChoice chip_;
};

}  // namespace

KL_COMMAND(Read, "st read", "read blocks of the chip")
