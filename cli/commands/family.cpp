// kovalink family LETTER: which card family the reader talks to.
#include "KovalinkHID.h"
#include "core/command.h"

namespace {

class Family : public kl::Command {
public:
    void define(CLI::App& app) override {
        app.add_option("FAMILY", name_, "a (ISO14443A), b (ISO14443B), felica, 15693, st, at88")
            ->required()
            ->check(CLI::IsMember({"a", "b", "felica", "15693", "st", "at88"}));
        app.footer("The card commands select their family themselves; this is for 'raw' and experiments.");
    }

    void run(kl::Context& context) override {
        const unsigned char letter = name_ == "a" ? 'A' : name_ == "b" ? 'B' : name_ == "felica" ? 'C'
                                   : name_ == "15693" ? '1' : name_ == "st" ? 's' : 'r';
        const auto a = context.reader.address();
        context.reader.call("rf_init_type", [&] { return rf_init_type(a, letter); });
        context.out["family"] = name_;
    }

private:
    std::string name_;
};

}  // namespace

KL_COMMAND(Family, "family", "select the card family the reader works with (rf_init_type)")
