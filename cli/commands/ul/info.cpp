// kovalink ul info: UID, type, version, signature and counter.
#include "KovalinkHID.h"
#include "tag.h"

namespace {

using kl::Bytes;

class Info : public kl::Command {
public:
    void define(CLI::App& app) override {
        auth_.define(app);
        app.footer("Version, signature and counter exist on NTAG21x tags only; others show '-'.");
    }

    void run(kl::Context& context) override {
        kl::ul::Tag tag(context);
        const Bytes uid = tag.open(auth_);
        const kl::ul::TagType type = tag.identify();
        context.out["uid"] = kl::toHex(uid);
        context.out["type"] = type.name;
        context.out["pages"] = type.pages;
        context.out["version"] = type.version.empty() ? "-" : kl::toHex(type.version);
        if (type.version.empty()) return;
        const Bytes signature = optional(tag, "rf_Ntag_Read_Signature", rf_Ntag_Read_Signature);
        context.out["signature"] = signature.empty() ? "-" : kl::toHex(signature);
        const Bytes counter = optional(tag, "rf_Ntag_Read_CNT", rf_Ntag_Read_CNT);
        context.out["counter"] =
            counter.size() == 3 ? kl::Json(counter[0] | counter[1] << 8 | counter[2] << 16) : kl::Json("-");
    }

private:
    using Reader = int (*)(int, unsigned char*, unsigned char*);

    // A read the tag may refuse (the counter is off by default): empty then.
    static Bytes optional(kl::ul::Tag& tag, const char* name, Reader fn) {
        unsigned char data[256] = {};
        unsigned char length = 0;
        const int result = tag.reader().tryCall(name, [&] { return fn(tag.address(), data, &length); });
        if (result != 0) {
            tag.reopen();
            return {};
        }
        return Bytes(data, data + length);
    }

    kl::ul::AuthChoice auth_;
};

}  // namespace

KL_COMMAND(Info, "ul info", "show the tag's UID, type, version, signature and counter")
