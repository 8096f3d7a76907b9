// kovalink iso15693 eas set|reset|lock|alarm: I-CODE article surveillance.
#include "KovalinkHID.h"
#include "core/errors.h"
#include "label.h"

namespace {

class Eas : public kl::Command {
public:
    void define(CLI::App& app) override {
        app.add_option("ACTION", action_, "set, reset, lock (permanent, needs --yes) or alarm")
            ->required()
            ->check(CLI::IsMember({"set", "reset", "lock", "alarm"}));
        app.add_flag("--yes", yes_, "confirm lock");
        label_.define(app);
        app.footer("I-CODE SLI labels only. A label whose EAS bit is reset stays silent to the alarm (exit 5).");
    }

    void run(kl::Context& context) override {
        if (action_ == "lock" && !yes_) throw kl::usageError("locking the EAS bit is permanent; add --yes");
        kl::iso15693::Label label(context, label_);
        label.find();
        const auto a = label.address();
        const auto f = label.flags();
        const unsigned char* uid = label.uid().data();
        kl::Session& r = label.reader();
        if (action_ == "set") {
            r.call("ISO15693_SET_EAS_ICODE", [&] { return ISO15693_SET_EAS_ICODE(a, f, uid); });
        } else if (action_ == "reset") {
            r.call("ISO15693_RESET_EAS_ICODE", [&] { return ISO15693_RESET_EAS_ICODE(a, f, uid); });
        } else if (action_ == "lock") {
            r.call("ISO15693_LOCK_EAS_ICODE", [&] { return ISO15693_LOCK_EAS_ICODE(a, f, uid); });
        } else {
            unsigned char data[256] = {};
            unsigned char length = 0;
            r.call("ISO15693_EAS_ALARM_ICODE", [&] { return ISO15693_EAS_ALARM_ICODE(a, f, uid, data, &length); });
            context.out["alarm"] = kl::toHex(data, length);
        }
        context.out["uid"] = kl::iso15693::showUid(label.uid());
        context.out["eas"] = action_;
    }

private:
    std::string action_;
    bool yes_ = false;
    kl::iso15693::LabelChoice label_;
};

}  // namespace

KL_COMMAND(Eas, "iso15693 eas", "electronic article surveillance of I-CODE labels")
