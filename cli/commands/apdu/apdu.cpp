// kovalink apdu APDU... : APDUs to a processor card, a SAM or the contact
// card, with status words in words and 61xx / 6Cxx handled. One session:
// the card is activated once and stays active from line to line.
#include <algorithm>
#include <iostream>
#include <optional>

#include "KovalinkHID.h"
#include "card_image.h"
#include "core/bytes.h"
#include "core/errors.h"
#include "history.h"
#include "status_words.h"
#include "target.h"

namespace {

using kl::Bytes;

// One step of a session: an APDU, "reset" (activate the card again) or
// "ext-auth P2 KEY" (GET CHALLENGE, then EXTERNAL AUTHENTICATE with the
// challenge enciphered under the DES or 3DES key).
struct Line {
    enum Kind { apdu, reset, ext_auth } kind = apdu;
    Bytes bytes;           // the APDU, or the key
    std::uint8_t p2 = 0;   // the key number for ext-auth
    std::string where;     // "argument", "FILE:LINE"
};

// A script line without its comment and surrounding blanks.
std::string cleaned(std::string line) {
    line = line.substr(0, line.find('#'));
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
}

// "P2:KEY" or "P2 KEY": the key number (decimal or 0x hex) and an 8- or 16-byte key.
std::string parseExtAuth(const std::string& text, Line* line) {
    const std::size_t split = text.find_first_of(": ");
    if (split == std::string::npos) return "ext-auth takes a key number and a key: P2:KEY";
    long long p2 = 0;
    if (const std::string why = kl::parseNumber(text.substr(0, split), 0, 255, &p2); !why.empty()) return "key number: " + why;
    std::string why;
    const std::string key = text.substr(text.find_first_not_of(": ", split));
    if (!kl::parseHex(key, &line->bytes, &why)) return "key: " + why;
    if (line->bytes.size() != 8 && line->bytes.size() != 16) return "the key has 8 (DES) or 16 (3DES) bytes";
    line->kind = Line::ext_auth;
    line->p2 = static_cast<std::uint8_t>(p2);
    return {};
}

// One line of a script or one argument; empty `text` is not a line.
Line parseLine(const std::string& text, const std::string& where) {
    Line line;
    line.where = where;
    std::string why;
    if (text == "reset") {
        line.kind = Line::reset;
    } else if (text.rfind("ext-auth", 0) == 0) {
        why = parseExtAuth(cleaned(text.substr(8)), &line);
    } else if (kl::parseHex(text, &line.bytes, &why) && (line.bytes.size() < 4 || line.bytes.size() > 251)) {
        why = "an APDU has 4 to 251 bytes";
    }
    if (!why.empty()) throw kl::usageError(where + ": " + why);
    return line;
}

class Apdu : public kl::Command {
public:
    void define(CLI::App& app) override {
        app.add_option("APDU", texts_, "APDUs in hex, sent in order, e.g. 00A4040007A0000000031010");
        app.add_option("-f,--script", script_,
                       "read lines from a file ('-' standard input): APDUs in hex, 'reset', 'ext-auth P2 KEY'; "
                       "'#' comments");
        target_.define(app);
        app.add_option("--ext-auth", ext_auth_,
                       "after activation: GET CHALLENGE, then EXTERNAL AUTHENTICATE with key number P2 and the "
                       "challenge enciphered under KEY (8 bytes DES, 16 bytes 3DES)")
            ->type_name("P2:KEY");
        app.add_flag("--no-auto", no_auto_, "do not answer 61xx with GET RESPONSE nor resend on 6Cxx");
        app.add_flag("-k,--keep-going", keep_going_, "continue after a status word other than 9000");
        app.add_option("--history", history_, "history file (default $KOVALINK_HISTORY or ~/.kovalink_history)");
        app.add_flag("--no-history", no_history_, "do not record the APDUs");
        app.footer("The card is activated first (type A: rf_typea_rst; type B: rf_atqb and rf_attrib; SAM and\n"
                   "contact card: rf_sam_rst_2, after powering the contact slot), its ATS or ATR decoded, and\n"
                   "stays active for every line. Every answer is shown with its status word in words, as soon\n"
                   "as it comes (standard input is read a line at a time, so a script can react). 61xx is\n"
                   "followed by GET RESPONSE (the data joined), 6Cxx by the same APDU with Le = xx. Exit code\n"
                   "6 when a final status word is not 9000. Arguments and a script file are checked whole\n"
                   "before anything is sent. The history file (mode 0600) hides PINs and keys.\n"
                   "Example: kovalink apdu --ext-auth 0:00112233445566778899AABBCCDDEEFF 00D6000002AABB");
    }

    void run(kl::Context& context) override {
        std::vector<Line> lines;
        if (!ext_auth_.empty()) {
            Line line;
            line.where = "--ext-auth";
            if (const std::string why = parseExtAuth(ext_auth_, &line); !why.empty()) throw kl::usageError("--ext-auth: " + why);
            lines.push_back(line);
        }
        for (const std::string& t : texts_) lines.push_back(parseLine(t, "argument"));
        const bool from_stdin = script_ == "-";
        if (!script_.empty() && !from_stdin) readScript(&lines);
        if (lines.empty() && !from_stdin) throw kl::usageError("give APDUs as arguments or with --script");

        kl::apdu::Target target(context, target_);
        history_path_ = no_history_ ? std::string() : kl::apdu::historyPath(history_);
        context.out["card"] = target.activate();
        context.out["exchanges"] = kl::Json::array();
        show(context, [&](std::ostream& out) { printCard(out, context.out["card"]); });
        bool stop = false;
        for (const Line& line : lines) {
            if ((stop = !perform(context, target, line))) break;
        }
        if (from_stdin && !stop) {
            int number = 0;
            for (std::string text; std::getline(std::cin, text);) {
                ++number;
                text = cleaned(text);
                if (text.empty()) continue;
                if (!perform(context, target, parseLine(text, "stdin:" + std::to_string(number)))) break;
            }
        }
        context.out.setText([](std::ostream&) {});  // everything was shown as it came
        if (failed_) {
            const kl::Json& x = *failed_;
            throw kl::Failure(kl::kExitCardStatus, "the card answered " + x["sw"].get<std::string>() + " (" +
                                                       x["meaning"].get<std::string>() + ") to " +
                                                       x["apdu"].get<std::string>());
        }
    }

private:
    // Runs one line; false when the session stops there.
    bool perform(kl::Context& context, kl::apdu::Target& target, const Line& line) {
        if (line.kind == Line::reset) {
            const kl::Json card = target.reset();
            context.out["card"] = card;
            show(context, [&](std::ostream& out) {
                out << "reset\n";
                printCard(out, card);
            });
            return true;
        }
        if (line.kind == Line::ext_auth) return externalAuthenticate(context, target, line);
        return exchange(context, target, line.bytes);
    }

    // GET CHALLENGE (8 bytes), then EXTERNAL AUTHENTICATE 00 82 00 P2 08
    // with the challenge enciphered (a 4-byte challenge is padded with zeros).
    bool externalAuthenticate(kl::Context& context, kl::apdu::Target& target, const Line& line) {
        if (!exchange(context, target, Bytes{0x00, 0x84, 0x00, 0x00, 0x08})) return false;
        Bytes challenge = last_data_;
        if (challenge.size() != 4 && challenge.size() != 8) {
            throw kl::Failure(kl::kExitCardStatus, line.where + ": GET CHALLENGE gave " + std::to_string(challenge.size()) +
                                                       " bytes, expected 4 or 8");
        }
        challenge.resize(8, 0);
        Bytes key = line.bytes, cryptogram(8);
        const int result = des_encrypt(cryptogram.data(), challenge.data(), 8, key.data(), static_cast<int>(key.size()));
        if (result != 0) throw kl::libraryError("des_encrypt", result);
        Bytes command(5 + cryptogram.size());
        const std::uint8_t header[5] = {0x00, 0x82, 0x00, line.p2, 0x08};
        std::copy(header, header + 5, command.begin());
        std::copy(cryptogram.begin(), cryptogram.end(), command.begin() + 5);
        return exchange(context, target, command);
    }

    // Sends one APDU and shows the answer at once; false when the session stops.
    bool exchange(kl::Context& context, kl::apdu::Target& target, const Bytes& apdu) {
        const kl::apdu::Exchange x = kl::apdu::transmit(
            [&](const Bytes& command) {
                const Bytes response = target.send(command);
                kl::apdu::appendHistory(history_path_, target_.kind, command, response);
                return response;
            },
            apdu, !no_auto_);
        last_data_ = x.data;
        kl::Json described = describe(apdu, x);
        context.out["exchanges"].push_back(described);
        show(context, [&](std::ostream& out) { printExchange(out, described); });
        if (x.sw == 0x9000) return true;
        if (!failed_) failed_ = described;
        return keep_going_;
    }

    // Text output goes out as it comes; JSON is one object at the end.
    static void show(kl::Context& context, const std::function<void(std::ostream&)>& text) {
        if (context.out.json()) return;
        text(std::cout);
        std::cout.flush();
    }

    static kl::Json describe(const Bytes& apdu, const kl::apdu::Exchange& x) {
        kl::Json steps = kl::Json::array();
        for (const auto& s : x.steps) {
            steps.push_back({{"command", kl::toHex(s.command)}, {"response", kl::toHex(s.response)}});
        }
        const std::string sw = x.sw < 0 ? "-" : kl::toHex(Bytes{static_cast<std::uint8_t>(x.sw >> 8), static_cast<std::uint8_t>(x.sw)});
        return {{"apdu", kl::toHex(apdu)},
                {"data", kl::toHex(x.data)},
                {"sw", sw},
                {"meaning", x.sw < 0 ? "no status word in the answer" : kl::apdu::statusWordText(static_cast<unsigned>(x.sw))},
                {"steps", steps}};
    }

    static void printCard(std::ostream& out, const kl::Json& card) {
        for (auto it = card.begin(); it != card.end(); ++it) {
            if (it.value().is_object()) continue;
            const kl::Json& v = it.value();
            out << it.key() << ": " << (v.is_string() ? v.get<std::string>() : v.is_array() ? [&] {
                std::string all;
                for (const kl::Json& item : v) all += (all.empty() ? "" : " ") + item.get<std::string>();
                return all;
            }() : v.dump()) << "\n";
        }
    }

    static void printExchange(std::ostream& out, const kl::Json& x) {
        for (const kl::Json& s : x["steps"]) {
            out << "> " << s["command"].get<std::string>() << "\n< " << s["response"].get<std::string>() << "\n";
        }
        out << "  " << x["sw"].get<std::string>() << " " << x["meaning"].get<std::string>();
        if (x["steps"].size() > 1) out << "; data " << x["data"].get<std::string>();
        out << "\n";
    }

    void readScript(std::vector<Line>* lines) const {
        std::string content;
        common::image::Error error;
        if (!common::image::readFile(script_, &content, &error)) throw kl::usageError(error.text());
        std::size_t start = 0;
        for (int number = 1; start <= content.size(); ++number) {
            const std::size_t end = std::min(content.find('\n', start), content.size());
            const std::string text = cleaned(content.substr(start, end - start));
            if (!text.empty()) lines->push_back(parseLine(text, script_ + ":" + std::to_string(number)));
            start = end + 1;
        }
    }

    std::vector<std::string> texts_;
    std::string script_;
    std::string ext_auth_;
    kl::apdu::TargetChoice target_;
    bool no_auto_ = false;
    bool keep_going_ = false;
    std::string history_;
    bool no_history_ = false;
    std::string history_path_;
    Bytes last_data_;
    std::optional<kl::Json> failed_;
};

}  // namespace

KL_COMMAND_IN(Apdu, "apdu", "send APDUs to a processor card, a SAM or the contact card", "Cards")
