// kovalink ul auth --password HEX | --key HEX
#include "core/errors.h"
#include "tag.h"

namespace {

class Auth : public kl::Command {
public:
    void define(CLI::App& app) override {
        auth_.define(app);
        app.footer("NTAG: PWD_AUTH with the 4-byte password, shows the PACK the tag answers. Ultralight C:\n"
                   "3DES mutual authentication with the 16-byte key. Exit code 5 when the tag refuses.\n"
                   "To read or write protected pages, give the same option to read, write or dump.");
    }

    void run(kl::Context& context) override {
        if (auth_.password.empty() && auth_.key.empty()) throw kl::usageError("give --password or --key");
        kl::ul::Tag tag(context);
        const kl::Bytes uid = tag.open(auth_);
        context.out["uid"] = kl::toHex(uid);
        context.out["authenticated"] = true;
        if (!auth_.password.empty()) context.out["pack"] = kl::toHex(tag.pack());
    }

private:
    kl::ul::AuthChoice auth_;
};

}  // namespace

KL_COMMAND(Auth, "ul auth", "authenticate with an NTAG password or an Ultralight C key")
