// kovalink apdu APDU... : APDUs to a processor card, a SAM or the contact
// card, with status words in words and 61xx / 6Cxx handled.
#include <fstream>
#include <iostream>

#include "core/errors.h"
#include "history.h"
#include "status_words.h"
#include "target.h"

namespace {

using kl::Bytes;

class Apdu : public kl::Command {
public:
    void define(CLI::App& app) override {
        app.add_option("APDU", texts_, "APDUs in hex, sent in order, e.g. 00A4040007A0000000031010");
        app.add_option("-f,--script", script_, "read APDUs from a file, one per line ('#' comments); - for standard input");
        target_.define(app);
        app.add_flag("--no-auto", no_auto_, "do not answer 61xx with GET RESPONSE nor resend on 6Cxx");
        app.add_flag("-k,--keep-going", keep_going_, "continue after a status word other than 9000");
        app.add_option("--history", history_, "history file (default $KOVALINK_HISTORY or ~/.kovalink_history)");
        app.add_flag("--no-history", no_history_, "do not record the APDUs");
        app.footer("The card is activated first (type A: rf_typea_rst; type B: rf_atqb and rf_attrib; SAM and\n"
                   "contact card: rf_sam_rst_2, after powering the contact slot). Every answer is shown with\n"
                   "its status word in words. 61xx is followed by GET RESPONSE (the data joined), 6Cxx by the\n"
                   "same APDU with Le = xx. Exit code 6 when a final status word is not 9000.\n"
                   "Example: kovalink apdu 00A40000023F00 0084000008");
    }

    void run(kl::Context& context) override {
        const std::vector<Bytes> apdus = collect();
        if (apdus.empty()) throw kl::usageError("give APDUs as arguments or with --script");
        kl::apdu::Target target(context, target_);
        context.out["card"] = target.activate();
        const std::string history = no_history_ ? std::string() : kl::apdu::historyPath(history_);
        kl::Json results = kl::Json::array();
        int failed = -1;  // index of the first exchange that did not end in 9000
        for (const Bytes& apdu : apdus) {
            const kl::apdu::Exchange x = kl::apdu::transmit(
                [&](const Bytes& command) {
                    const Bytes response = target.send(command);
                    kl::apdu::appendHistory(history, target_.kind, command, response);
                    return response;
                },
                apdu, !no_auto_);
            results.push_back(describe(apdu, x));
            if (x.sw != 0x9000 && failed < 0) failed = static_cast<int>(results.size()) - 1;
            if (x.sw != 0x9000 && !keep_going_) break;
        }
        context.out["exchanges"] = results;
        context.out.setText([&context](std::ostream& out) { print(out, context.out.result()); });
        if (failed >= 0) {
            const kl::Json& x = results[static_cast<std::size_t>(failed)];
            throw kl::Failure(kl::kExitCardStatus, "the card answered " + x["sw"].get<std::string>() + " (" +
                                                       x["meaning"].get<std::string>() + ") to " +
                                                       x["apdu"].get<std::string>());
        }
    }

private:
    static kl::Json describe(const Bytes& apdu, const kl::apdu::Exchange& x) {
        kl::Json steps = kl::Json::array();
        for (const auto& s : x.steps) steps.push_back({{"command", kl::toHex(s.command)}, {"response", kl::toHex(s.response)}});
        const std::string sw = x.sw < 0 ? "-" : kl::toHex(Bytes{static_cast<std::uint8_t>(x.sw >> 8), static_cast<std::uint8_t>(x.sw)});
        return {{"apdu", kl::toHex(apdu)},
                {"data", kl::toHex(x.data)},
                {"sw", sw},
                {"meaning", x.sw < 0 ? "no status word in the answer" : kl::apdu::statusWordText(static_cast<unsigned>(x.sw))},
                {"steps", steps}};
    }

    static void print(std::ostream& out, const kl::Json& result) {
        for (auto it = result["card"].begin(); it != result["card"].end(); ++it) {
            out << it.key() << ": " << it.value().get<std::string>() << "\n";
        }
        for (const kl::Json& x : result["exchanges"]) {
            for (const kl::Json& s : x["steps"]) {
                out << "> " << s["command"].get<std::string>() << "\n< " << s["response"].get<std::string>() << "\n";
            }
            out << "  " << x["sw"].get<std::string>() << " " << x["meaning"].get<std::string>();
            if (x["steps"].size() > 1) out << "; data " << x["data"].get<std::string>();
            out << "\n";
        }
    }

    std::vector<Bytes> collect() const {
        std::vector<std::pair<std::string, std::string>> lines;  // text, where it came from
        for (const std::string& t : texts_) lines.emplace_back(t, "argument");
        if (!script_.empty()) {
            std::ifstream file;
            if (script_ != "-") {
                file.open(script_);
                if (!file) throw kl::usageError("cannot read " + script_);
            }
            std::istream& in = script_ == "-" ? std::cin : file;
            int number = 0;
            for (std::string line; std::getline(in, line);) {
                ++number;
                line = line.substr(0, line.find('#'));
                if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
                lines.emplace_back(line.substr(0, line.find_last_not_of(" \t\r") + 1),
                                   (script_ == "-" ? "stdin" : script_) + ":" + std::to_string(number));
            }
        }
        std::vector<Bytes> apdus;
        for (const auto& [text, where] : lines) {
            Bytes apdu;
            std::string why;
            if (kl::parseHex(text, &apdu, &why) && (apdu.size() < 4 || apdu.size() > 251)) why = "an APDU has 4 to 251 bytes";
            if (!why.empty()) throw kl::usageError(where + ": " + why);
            apdus.push_back(apdu);
        }
        return apdus;
    }

    std::vector<std::string> texts_;
    std::string script_;
    kl::apdu::TargetChoice target_;
    bool no_auto_ = false;
    bool keep_going_ = false;
    std::string history_;
    bool no_history_ = false;
};

}  // namespace

KL_COMMAND_IN(Apdu, "apdu", "send APDUs to a processor card, a SAM or the contact card", "Cards")
