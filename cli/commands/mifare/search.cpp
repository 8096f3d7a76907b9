// kovalink mifare search
#include "card.h"

namespace {

class Search : public kl::Command {
public:
    void define(CLI::App& app) override {
        app.footer("Shows the first Mifare Classic card; other type A cards are passed over (halted), and\n"
                   "the first of them is shown when no Mifare Classic card answers.");
    }

    void run(kl::Context& context) override {
        kl::mifare::Card card(context);
        const kl::mifare::CardId& id = card.search(false);
        context.out["uid"] = kl::toHex(id.uid);
        context.out["atqa"] = kl::toHex(Bytes{id.atqa[1], id.atqa[0]});
        context.out["sak"] = kl::toHex(&id.sak, 1);
        context.out["type"] = id.type;
        // Sectors and blocks belong to Mifare Classic alone.
        if (id.classic) {
            context.out["sectors"] = id.layout.sectors;
            context.out["blocks"] = id.layout.blocks();
        }
    }

private:
    using Bytes = kl::Bytes;
};

}  // namespace

KL_COMMAND(Search, "mifare search", "find and select the type A card on the antenna")
