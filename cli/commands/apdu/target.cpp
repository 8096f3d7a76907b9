#include "target.h"

#include <algorithm>

#include "KovalinkHID.h"
#include "card_answer.h"
#include "core/errors.h"
#include "core/targets.h"
#include "core/options.h"

namespace kl::apdu {

void TargetChoice::define(CLI::App& app) {
    app.add_option("-t,--to", kind,
                   "a: type A card (default), b: type B card, sam: a SAM slot, contact: the contact card")
        ->check(CLI::IsMember({"a", "b", "sam", "contact"}));
    addNumber(app, "--sam", sam, 0, 15, "SAM number for --to sam (default 0, the first slot)");
    addNumber(app, "--contact-slot", contact_slot, 0, 15, "SAM number of the contact slot (default 6)");
    addNumber(app, "--rate", rate, 0, 2, "SAM / contact rate: 0 9600 (default), 1 38400, 2 115200 baud");
}

namespace {
constexpr unsigned char kRequestAll = 0x52, kRequestIdle = 0x26;
constexpr int kNoAnswerToRats = 0x30, kNoCard = 0x0A;

struct Answer {
    unsigned char data[256] = {};
    unsigned char length = 0;
    Bytes bytes() const { return Bytes(data, data + length); }
};
}  // namespace

Json Target::activate() {
    Session& r = context_.reader;
    const auto a = r.address();
    Answer answer;
    if (choice_.kind == "a" || choice_.kind == "b") {
        const unsigned char family = choice_.kind == "a" ? 'A' : 'B';
        r.call("rf_init_type", [&] { return rf_init_type(a, family); });
    }
    if (choice_.kind == "a") {
        auto reset = [&](unsigned char mode) {
            return r.tryCall("rf_typea_rst", [&] { return rf_typea_rst(a, mode, answer.data, &answer.length); });
        };
        // The answer starts with the UID: another card than the one --uid names?
        const Bytes& named = targets().uid;
        const auto other_card = [&] {
            return !named.empty() && !(answer.length >= named.size() &&
                                       std::equal(named.begin(), named.end(), answer.data));
        };
        // A memory card chosen by the anticollision gives no answer to RATS:
        // halt it and ask the idle cards again, until a processor card (the
        // one named, if one is) answers.
        int result = reset(kRequestAll);
        for (int tries = 0; (result == kNoAnswerToRats || (result == 0 && other_card())) && tries < 8; ++tries) {
            r.call("rf_halt", [&] { return rf_halt(a); });
            result = reset(kRequestIdle);
        }
        const bool named_missing =
            result == 0 ? other_card() : !named.empty() && (result == kNoAnswerToRats || result == kNoCard);
        if (named_missing) throw Failure(kExitReaderStatus, "no processor card with UID " + toHex(named) + " answered");
        if (result != 0) throw libraryError("rf_typea_rst", result);
        return decodeUidAndAts(answer.bytes());
    }
    if (choice_.kind == "b") {
        r.call("rf_atqb", [&] { return rf_atqb(a, 0, answer.data, &answer.length); });
        // The PUPI (ATQB bytes 1-4) goes back in card order.
        const unsigned pupi = answer.data[1] | answer.data[2] << 8 | answer.data[3] << 16 |
                              static_cast<unsigned>(answer.data[4]) << 24;
        r.call("rf_attrib", [&] { return rf_attrib(a, pupi, cid_); });
        return {{"atqb", toHex(answer.bytes())}, {"pupi", toHex(&answer.data[1], 4)}};
    }
    if (choice_.kind == "contact") {
        r.call("rf_ContactCpuCard_Power_OnOff", [&] { return rf_ContactCpuCard_Power_OnOff(a, 1); });
    }
    const auto param = static_cast<unsigned char>(samNumber() << 4 | choice_.rate);
    r.call("rf_sam_rst_2", [&] { return rf_sam_rst_2(a, &param, 1, answer.data, &answer.length); });
    return decodeAtr(answer.bytes());
}

Json Target::reset() {
    if (choice_.kind == "a" || choice_.kind == "b") {
        Session& r = context_.reader;
        for (const unsigned char on : {0, 1}) {
            r.call("rf_antenna_sta", [&] { return rf_antenna_sta(r.address(), on); });
        }
    }
    return activate();
}

Bytes Target::send(const Bytes& apdu) {
    Session& r = context_.reader;
    const auto a = r.address();
    const auto n = static_cast<unsigned char>(apdu.size());
    Answer answer;
    if (choice_.kind == "a") {
        r.call("rf_cos_command", [&] { return rf_cos_command(a, apdu.data(), n, answer.data, &answer.length); });
    } else if (choice_.kind == "b") {
        r.call("rf_typeb_cos", [&] { return rf_typeb_cos(a, cid_, apdu.data(), n, answer.data, &answer.length); });
    } else {
        const auto number = static_cast<unsigned char>(samNumber());
        r.call("rf_sam_cos_2", [&] { return rf_sam_cos_2(a, number, apdu.data(), n, answer.data, &answer.length); });
    }
    return answer.bytes();
}

}  // namespace kl::apdu
