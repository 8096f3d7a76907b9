// kovalink iso15693 inventory: every label in the field.
#include "KovalinkHID.h"
#include "label.h"

namespace {

const char* manufacturer(std::uint8_t code) {
    switch (code) {
    case 0x02: return "ST";
    case 0x04: return "NXP";
    case 0x07: return "Texas Instruments";
    case 0x16: return "EM Microelectronic";
    default: return "-";
    }
}

class Inventory : public kl::Command {
public:
    void define(CLI::App&) override {}

    void run(kl::Context& context) override {
        kl::Session& r = context.reader;
        kl::iso15693::selectFamily(r);
        unsigned char data[256] = {};
        unsigned char length = 0;
        r.call("ISO15693_Inventorys", [&] { return ISO15693_Inventorys(r.address(), data, &length); });
        kl::Json labels = kl::Json::array();
        for (unsigned at = 0; at + 9 <= length; at += 9) {
            const kl::Bytes uid(data + at + 1, data + at + 9);
            labels.push_back({{"uid", kl::iso15693::showUid(uid)},
                              {"dsfid", kl::toHex(&data[at], 1)},
                              {"manufacturer", manufacturer(uid[6])}});
        }
        context.out["labels"] = labels;
        context.out["count"] = labels.size();
    }
};

}  // namespace

KL_COMMAND(Inventory, "iso15693 inventory", "list the labels in the field (UID, DSFID, manufacturer)")
