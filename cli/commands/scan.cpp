// kovalink scan: every card and label in the field, of every family the
// reader knows. Each family is asked in turn; a family with nothing in the
// field is simply left out. The field is reset at the end, so the cards put
// aside (halted) while listing answer the next command.
#include <algorithm>

#include "KovalinkHID.h"
#include "commands/apdu/card_answer.h"
#include "commands/iso15693/label.h"
#include "commands/typea/field.h"
#include "core/command.h"
#include "reader_status.h"

namespace {

using kl::Bytes;

constexpr unsigned char kRequestIdle = 0x26;

class Scan : public kl::Command {
public:
    void define(CLI::App& app) override {
        app.footer("Type A cards with ATQA, SAK and UID (each halted after it is listed, so that the next one\n"
                   "answers) and the ATS of processor cards (ISO14443-4), decoded; type B cards with their ATQB,\n"
                   "ISO15693 labels, ST chips and FeliCa cards.");
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
    // Type A: every card (request, anticollision, select, halt until nobody
    // answers); a processor card is asked for its ATS while it is selected.
    static void typeA(kl::Session& r, kl::Json* cards) {
        const auto a = r.address();
        if (r.tryCall("rf_init_type", [&] { return rf_init_type(a, 'A'); }) != 0) return;
        kl::Json ats_of = kl::Json::object();
        const auto ask_ats = [&](const kl::typea::FieldCard& card) {
            if (!(card.sak & 0x20)) return;
            // The selected card answers a request again and is the one the
            // anticollision picks: activation (RATS) reaches it.
            struct {
                unsigned char data[256] = {};
                unsigned char length = 0;
            } answer;
            if (r.tryCall("rf_typea_rst",
                          [&] { return rf_typea_rst(a, kRequestIdle, answer.data, &answer.length); }) != 0) {
                return;
            }
            // Activated, the card no longer hears a halt: end its session (it
            // goes to HALT), so that the next one answers.
            r.tryCall("rf_cl_deselect", [&] { return rf_cl_deselect(a); });
            const Bytes got(answer.data, answer.data + answer.length);
            if (got.size() <= card.uid.size() || !std::equal(card.uid.begin(), card.uid.end(), got.begin())) return;
            ats_of[kl::toHex(card.uid)] =
                kl::apdu::decodeAts(Bytes(got.begin() + static_cast<std::ptrdiff_t>(card.uid.size()), got.end()));
        };
        for (const kl::typea::FieldCard& card : kl::typea::listCards(r, ask_ats)) {
            kl::Json entry = {{"family", "type A"},
                              {"uid", kl::toHex(card.uid)},
                              {"atqa", kl::toHex(Bytes{card.atqa[1], card.atqa[0]})},
                              {"sak", kl::toHex(&card.sak, 1)},
                              {"type", kl::typea::sortOf(card.sak)}};
            if (ats_of.contains(kl::toHex(card.uid))) entry["ats"] = ats_of[kl::toHex(card.uid)];
            cards->push_back(entry);
        }
    }
};

}  // namespace

KL_COMMAND(Scan, "scan", "list every card and label in the field, of every family")
