// kovalink at88 check --password HEX
#include "card.h"

namespace {

class Check : public kl::Command {
public:
    void define(CLI::App& app) override {
        password_.define(app, true);
        app.footer("Exit code 0 when the card takes the password, 5 when it refuses it.");
    }

    void run(kl::Context& context) override {
        kl::at88::open(context.reader, password_);
        context.out["password"] = "accepted";
    }

private:
    kl::at88::PasswordChoice password_;
};

}  // namespace

KL_COMMAND(Check, "at88 check", "present the password")
