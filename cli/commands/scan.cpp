// kovalink scan: every card and label in the field, of every family the
// reader knows. Each family is asked in turn; a family with nothing in the
// field is simply left out. The field is reset at the end, so the cards put
// aside (halted) while listing answer the next command.
#include "KovalinkHID.h"
#include "commands/iso15693/label.h"
#include "core/command.h"
#include "reader_status.h"

namespace {

using kl::Bytes;

constexpr unsigned char kRequestAll = 0x52, kRequestIdle = 0x26;

// What the select answer (SAK) says of a type A card.
const char* typeASort(unsigned char sak) {
    switch (sak) {
    case 0x00: return "Ultralight / NTAG family";
    case 0x08: return "Mifare Classic 1K";
    case 0x09: return "Mifare Mini";
    case 0x18: return "Mifare Classic 4K";
    case 0x88: return "Mifare Classic 1K";
    default: return sak & 0x20 ? "ISO14443-4 processor card" : "type A card";
    }
}

class Scan : public kl::Command {
public:
    void define(CLI::App& app) override {
        app.footer("Type A cards with ATQA, SAK and UID (each halted after it is listed, so that the next one\n"
                   "answers), type B cards with their ATQB, ISO15693 labels, ST chips and FeliCa cards.");
    }

    void run(kl::Context& context) override {
        kl::Session& r = context.reader;
        const auto a = r.address();
        kl::Json cards = kl::Json::array();
        typeA(r, &cards);
        const auto init = [&](unsigned char family) { return r.tryCall("rf_init_type", [&] { return rf_init_type(a, family); }) == 0; };
        unsigned char data[256] = {};
        unsigned char length = 0;
        if (init('B') && r.tryCall("rf_atqb", [&] { return rf_atqb(a, 0, data, &length); }) == 0 && length >= 5) {
            cards.push_back({{"family", "type B"}, {"pupi", kl::toHex(data + 1, 4)}, {"atqb", kl::toHex(data, length)}});
        }
        kl::iso15693::selectFamily(r);
        if (r.tryCall("ISO15693_Inventorys", [&] { return ISO15693_Inventorys(a, data, &length); }) == 0) {
            for (unsigned at = 0; at + 9 <= length; at += 9) {
                cards.push_back({{"family", "ISO15693"},
                                 {"uid", kl::iso15693::showUid(Bytes(data + at + 1, data + at + 9))},
                                 {"dsfid", kl::toHex(&data[at], 1)}});
            }
        }
        unsigned char chip = 0;
        if (init('s') && r.tryCall("rf_st_select", [&] { return rf_st_select(a, &chip); }) == 0) {
            cards.push_back({{"family", "ST SR"}, {"chip_id", kl::toHex(&chip, 1)}});
        }
        int felica_length = 0;
        if (init('C') && r.tryCall("rf_felica_get_uid", [&] { return rf_felica_get_uid(a, data, &felica_length); }) == 0) {
            cards.push_back({{"family", "FeliCa"}, {"uid", kl::toHex(data, 6)}});
        }
        // Halted and selected cards start again from idle for the next command.
        for (const unsigned char on : {0, 1}) r.tryCall("rf_antenna_sta", [&] { return rf_antenna_sta(a, on); });
        context.out["cards"] = cards;
        context.out["count"] = cards.size();
    }

private:
    // Type A: request, anticollision, select, halt, until nobody answers.
    static void typeA(kl::Session& r, kl::Json* cards) {
        const auto a = r.address();
        if (r.tryCall("rf_init_type", [&] { return rf_init_type(a, 'A'); }) != 0) return;
        for (int round = 0; round < 16; ++round) {
            unsigned char atqa[2] = {};
            const unsigned char mode = round == 0 ? kRequestAll : kRequestIdle;
            if (r.tryCall("rf_request", [&] { return rf_request(a, mode, atqa); }) != 0) return;
            const unsigned size_code = (atqa[0] >> 6) & 3;
            const unsigned char uid_size = size_code == 0 ? 4 : size_code == 1 ? 7 : 10;
            unsigned char uid[256] = {}, uid_length = 0, sak = 0;
            if (r.tryCall("rf_anticoll", [&] { return rf_anticoll(a, uid_size, uid, &uid_length); }) != 0) return;
            if (r.tryCall("rf_select", [&] { return rf_select(a, uid, uid_length, &sak); }) != 0) return;
            cards->push_back({{"family", "type A"},
                              {"uid", kl::toHex(uid, uid_length)},
                              {"atqa", kl::toHex(Bytes{atqa[1], atqa[0]})},
                              {"sak", kl::toHex(&sak, 1)},
                              {"type", typeASort(sak)}});
            if (r.tryCall("rf_halt", [&] { return rf_halt(a); }) != 0) return;
        }
    }
};

}  // namespace

KL_COMMAND(Scan, "scan", "list every card and label in the field, of every family")
