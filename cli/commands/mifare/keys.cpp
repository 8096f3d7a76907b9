// kovalink mifare keys: which key opens which sector.
#include "card.h"
#include "key_list.h"

namespace {

using kl::Bytes;

class Keys : public kl::Command {
public:
    void define(CLI::App& app) override {
        keys_.define(app);
        app.footer("Tries every key as key A and as key B on every sector. Without -k or --keys-file the\n"
                   "common factory and transport keys are tried.");
    }

    void run(kl::Context& context) override {
        const std::vector<Bytes> keys = keys_.keys();
        kl::mifare::Card card(context);
        const auto& id = card.search();
        kl::Json sectors = kl::Json::array();
        for (unsigned s = 0; s < id.layout.sectors; ++s) {
            const auto a = kl::mifare::findKey(card, s, kl::mifare::kKeyA, keys);
            const auto b = kl::mifare::findKey(card, s, kl::mifare::kKeyB, keys);
            sectors.push_back({{"sector", s}, {"key_a", a ? kl::toHex(*a) : "-"}, {"key_b", b ? kl::toHex(*b) : "-"}});
        }
        context.out["uid"] = kl::toHex(id.uid);
        context.out["keys_tried"] = keys.size();
        context.out["sectors"] = sectors;
    }

private:
    kl::mifare::KeyList keys_;
};

}  // namespace

KL_COMMAND(Keys, "mifare keys", "try a list of keys on every sector and show which opens what")
