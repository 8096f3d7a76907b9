// kovalink mifare read BLOCK | --sector N
#include "card.h"
#include "core/errors.h"
#include "core/options.h"
#include "sector_table.h"

namespace {

class Read : public kl::Command {
public:
    void define(CLI::App& app) override {
        auto* block = kl::addNumber(app, "BLOCK", block_, 0, 255, "block number");
        auto* sector = kl::addNumber(app, "-s,--sector", sector_, 0, 39, "read the whole sector instead");
        block->excludes(sector);
        key_.define(app);
        app.footer("Authenticates the block's sector with the key, then reads. Key A reads back as zeros.");
    }

    void run(kl::Context& context) override {
        if (block_ < 0 && sector_ < 0) throw kl::usageError("give a BLOCK or --sector N");
        kl::mifare::Card card(context);
        const auto& id = card.search();
        const unsigned first = sector_ >= 0 ? id.layout.firstBlock(static_cast<unsigned>(sector_)) : static_cast<unsigned>(block_);
        if (sector_ >= 0 && static_cast<unsigned>(sector_) >= id.layout.sectors) {
            throw kl::usageError("sector " + std::to_string(sector_) + " is outside this " + id.type);
        }
        card.checkBlock(first);
        const unsigned count = sector_ >= 0 ? id.layout.blockCount(static_cast<unsigned>(sector_)) : 1;
        card.authenticate(first, key_.type(), key_.key);
        kl::mifare::SectorTable table(id.layout, context.out);
        for (unsigned b = first; b < first + count; ++b) table.add(b, card.read(b));
        context.out["uid"] = kl::toHex(id.uid);
        context.out["blocks"] = table.json();
    }

private:
    int block_ = -1;
    int sector_ = -1;
    kl::mifare::KeyChoice key_;
};

}  // namespace

KL_COMMAND(Read, "mifare read", "read a block or a whole sector")
