// kovalink mifare value get|set|inc|dec|restore|transfer: value blocks.
#include "KovalinkHID.h"
#include "card.h"
#include "core/errors.h"
#include "core/options.h"

namespace {

enum class Op { get, set, inc, dec, restore, transfer };

template <Op op>
class Value : public kl::Command {
public:
    void define(CLI::App& app) override {
        kl::addNumber(app, "BLOCK", block_, 1, 255, "value block number")->required();
        if (op == Op::set || op == Op::inc || op == Op::dec) {
            kl::addNumber(app, "VALUE", value_, op == Op::set ? INT32_MIN : 0, INT32_MAX,
                          op == Op::set ? "the value, a signed 32-bit number" : "the amount, 0 to 2147483647")
                ->required();
        }
        if (op == Op::restore) {
            kl::addNumber(app, "TARGET", target_, 1, 255, "block of the same sector to transfer the value to");
        }
        key_.define(app);
        if (op == Op::transfer) {
            kl::addNumber(app, "--from", source_, 1, 255, "the value block loaded into the transfer buffer")->required();
            auto* add = kl::addNumber(app, "--add", amount_, 0, INT32_MAX, "add N to the value on the way (increment)");
            auto* sub = kl::addNumber(app, "--subtract", amount_, 0, INT32_MAX, "subtract N on the way (decrement)");
            add->excludes(sub);
            add_ = add;
            subtract_ = sub;
            app.footer("In one card session: loads the value of --from into the card's transfer buffer (restore,\n"
                       "or increment/decrement with --add/--subtract), then transfers the buffer into BLOCK. Both\n"
                       "blocks lie in the same sector; --from keeps its value.");
        }
    }

    void run(kl::Context& context) override {
        if (op == Op::transfer && kl::mifare::kLargestLayout.sectorOf(static_cast<unsigned>(source_)) !=
                                      kl::mifare::kLargestLayout.sectorOf(static_cast<unsigned>(block_))) {
            throw kl::usageError("blocks " + std::to_string(source_) + " and " + std::to_string(block_) +
                                 " lie in different sectors; a transfer stays within one sector");
        }
        for (const int b : {block_, target_, source_}) {
            if (b > 0 && kl::mifare::kLargestLayout.isTrailer(static_cast<unsigned>(b))) {
                throw kl::usageError("block " + std::to_string(b) + " is a sector trailer, not a value block");
            }
        }
        kl::mifare::Card card(context);
        card.search();
        card.checkBlock(static_cast<unsigned>(block_));
        card.authenticate(static_cast<unsigned>(block_), key_.type(), key_.key);
        const auto a = card.address();
        const auto b = static_cast<unsigned char>(block_);
        kl::Session& r = card.reader();
        switch (op) {
        case Op::get: {
            int value = 0;
            r.call("rf_M1_readval", [&] { return rf_M1_readval(a, b, &value); });
            context.out["value"] = value;
            break;
        }
        case Op::set:
            r.call("rf_M1_initval", [&] { return rf_M1_initval(a, b, value_); });
            break;
        case Op::inc:
            r.call("rf_M1_increment", [&] { return rf_M1_increment(a, b, value_); });
            break;
        case Op::dec:
            r.call("rf_M1_decrement", [&] { return rf_M1_decrement(a, b, value_); });
            break;
        case Op::restore:
            r.call("rf_M1_restore", [&] { return rf_M1_restore(a, b); });
            if (target_ > 0) transfer(r, a, static_cast<unsigned char>(target_));
            break;
        case Op::transfer: {
            const auto from = static_cast<unsigned char>(source_);
            if (add_ != nullptr && add_->count() > 0) {
                r.call("rf_M1_increment", [&] { return rf_M1_increment(a, from, amount_); });
            } else if (subtract_ != nullptr && subtract_->count() > 0) {
                r.call("rf_M1_decrement", [&] { return rf_M1_decrement(a, from, amount_); });
            } else {
                r.call("rf_M1_restore", [&] { return rf_M1_restore(a, from); });
            }
            transfer(r, a, b);
            break;
        }
        }
        context.out["block"] = block_;
        if (op != Op::get) {
            // Show what the block holds now, where the access bits let the key read it.
            const int shown = target_ > 0 ? target_ : block_;
            int value = 0;
            const auto s = static_cast<unsigned char>(shown);
            context.out["block"] = shown;
            if (r.tryCall("rf_M1_readval", [&] { return rf_M1_readval(a, s, &value); }) == 0) {
                context.out["value"] = value;
            }
        }
    }

private:
    static void transfer(kl::Session& r, std::uint16_t a, unsigned char block) {
        r.call("rf_M1_transfer", [&] { return rf_M1_transfer(a, block); });
    }

    int block_ = 0;
    int value_ = 0;
    int target_ = 0;
    int source_ = 0;
    int amount_ = 0;
    CLI::Option* add_ = nullptr;
    CLI::Option* subtract_ = nullptr;
    kl::mifare::KeyChoice key_;
};

}  // namespace

KL_COMMAND(Value<Op::get>, "mifare value get", "read the value of a value block")
KL_COMMAND(Value<Op::set>, "mifare value set", "format a block as a value block holding VALUE")
KL_COMMAND(Value<Op::inc>, "mifare value inc", "add VALUE to a value block")
KL_COMMAND(Value<Op::dec>, "mifare value dec", "subtract VALUE from a value block")
KL_COMMAND(Value<Op::restore>, "mifare value restore",
           "load a value block into the transfer buffer (and copy it to TARGET)")
KL_COMMAND(Value<Op::transfer>, "mifare value transfer", "write the transfer buffer into a block")
