// kovalink mifare keys: which key opens which sector.
#include "card.h"
#include "card_image.h"
#include "core/errors.h"
#include "core/progress.h"
#include "key_list.h"
#include "sector_reader.h"

namespace {

using kl::Bytes;

class Keys : public kl::Command {
public:
    void define(CLI::App& app) override {
        keys_.define(app);
        app.add_option("--save", save_, "write the keys found to FILE as a key dictionary (one key a line)")
            ->type_name("FILE");
        app.footer("Tries every key as key A and as key B on every sector, one exchange a key where the\n"
                   "reader allows. Key B is not searched where the access bits make it readable data.\n" +
                   app.get_footer());
    }

    void run(kl::Context& context) override {
        const std::vector<Bytes> keys = keys_.keys();
        kl::mifare::Card card(context);
        const auto& id = card.search();
        kl::mifare::SectorReader reader(card);
        kl::Json sectors = kl::Json::array();
        std::vector<Bytes> found;
        kl::Progress progress;
        for (unsigned s = 0; s < id.layout.sectors; ++s) {
            progress.show("keys: sector " + std::to_string(s + 1) + " of " + std::to_string(id.layout.sectors));
            const auto a = reader.findKey(s, kl::mifare::kKeyA, keys);
            const auto b = reader.findKey(s, kl::mifare::kKeyB, keys);
            for (const auto& key : {a, b}) {
                if (key) found.push_back(*key);
            }
            sectors.push_back({{"sector", s},
                               {"key_a", a ? kl::Json(kl::toHex(*a)) : kl::Json()},
                               {"key_b", b ? kl::Json(kl::toHex(*b)) : kl::Json()}});
        }
        context.out["uid"] = kl::toHex(id.uid);
        context.out["keys_tried"] = keys.size();
        context.out["sectors"] = sectors;
        if (!save_.empty()) {
            common::image::Error error;
            const std::string text =
                kl::mifare::dictionaryText(kl::mifare::uniqueKeys(found), "keys found on the card " + kl::toHex(id.uid));
            if (!common::image::writeFile(save_, text, &error)) throw kl::Failure(kl::kExitFailure, error.text());
            context.out["saved"] = save_;
        }
    }

private:
    kl::mifare::KeyList keys_;
    std::string save_;
};

}  // namespace

KL_COMMAND(Keys, "mifare keys", "try a list of keys on every sector and show which opens what")
