// kovalink mifare write BLOCK HEX
#include "card.h"
#include "core/data_hex.h"
#include "core/errors.h"
#include "core/options.h"
#include "trailer_guard.h"

namespace {

class Write : public kl::Command {
public:
    void define(CLI::App& app) override {
        kl::addNumber(app, "BLOCK", block_, 0, 255, "block number")->required();
        kl::addHex(app, "DATA", data_, kl::mifare::kBlockSize, "16 bytes of hex")->required();
        key_.define(app);
        app.add_flag("--trailer", trailer_, "allow writing a sector trailer (keys and access bits)");
        app.add_flag("--force", force_, "with --trailer: write access bits under which no key may change them again");
        app.footer("Block 0 (manufacturer block) is refused. A trailer is written only with --trailer, and\n"
                   "never with access bits whose inverted copies disagree (the card would lock the sector\n"
                   "for good); access bits that nobody may change afterwards need --force as well.\n"
                   "'kovalink mifare trailer' builds a trailer from keys and conditions and verifies it.");
    }

    void run(kl::Context& context) override {
        if (block_ == 0) throw kl::usageError("block 0 is the manufacturer block and cannot be written");
        // Trailers lie at the same blocks on every card size.
        if (kl::mifare::kLargestLayout.isTrailer(block_) && !trailer_) {
            throw kl::usageError("block " + std::to_string(block_) + " is a sector trailer; add --trailer to write it");
        }
        if (kl::mifare::kLargestLayout.isTrailer(block_)) {
            const std::string why = kl::mifare::trailerRefusal(data_.data(), kl::mifare::kLargestLayout.sectorOf(block_), force_);
            if (!why.empty()) throw kl::usageError(why + "; nothing was written");
        }
        kl::mifare::Card card(context);
        card.search();
        card.checkBlock(block_);
        card.authenticate(block_, key_.type(), key_.key);
        card.write(block_, data_);
        context.out["block"] = block_;
        context.out["written"] = kl::dataHex(context.out, data_);
    }

private:
    unsigned block_ = 0;
    kl::Bytes data_;
    bool trailer_ = false;
    bool force_ = false;
    kl::mifare::KeyChoice key_;
};

}  // namespace

KL_COMMAND(Write, "mifare write", "write 16 bytes to a block")
