// kovalink iso15693 afi|dsfid [VALUE] [--lock --yes]: write or lock the
// application family or data storage format identifier.
#include "KovalinkHID.h"
#include "core/errors.h"
#include "core/options.h"
#include "label.h"

namespace {

struct Field {
    const char* name;
    const char* write_name;
    int (*write)(int, unsigned char, const unsigned char*, unsigned char);
    const char* lock_name;
    int (*lock)(int, unsigned char, const unsigned char*);
};

const Field kAfi = {"afi", "ISO15693_Write_AFI", ISO15693_Write_AFI, "ISO15693_Lock_AFI", ISO15693_Lock_AFI};
const Field kDsfid = {"dsfid", "ISO15693_Write_DSFID", ISO15693_Write_DSFID, "ISO15693_Lock_DSFID",
                      ISO15693_Lock_DSFID};

template <const Field& field>
class Identifier : public kl::Command {
public:
    void define(CLI::App& app) override {
        kl::addNumber(app, "VALUE", value_, 0, 255, "the new value");
        app.add_flag("--lock", lock_, "lock the value for good (after writing VALUE, if given)");
        app.add_flag("--yes", yes_, "confirm --lock");
        label_.define(app);
        app.footer("Without VALUE or --lock, 'iso15693 info' shows the current value.");
    }

    void run(kl::Context& context) override {
        if (value_ < 0 && !lock_) throw kl::usageError("give a VALUE, --lock, or both");
        if (lock_ && !yes_) throw kl::usageError("locking is permanent; add --yes");
        kl::iso15693::Label label(context, label_);
        label.find();
        const auto a = label.address();
        if (value_ >= 0) {
            const auto v = static_cast<unsigned char>(value_);
            label.reader().call(field.write_name, [&] { return field.write(a, label.flags(), label.uid().data(), v); });
            context.out[field.name] = kl::toHex(&v, 1);
        }
        if (lock_) {
            label.reader().call(field.lock_name, [&] { return field.lock(a, label.flags(), label.uid().data()); });
            context.out["locked"] = true;
        }
        context.out["uid"] = kl::iso15693::showUid(label.uid());
    }

private:
    int value_ = -1;
    bool lock_ = false, yes_ = false;
    kl::iso15693::LabelChoice label_;
};

}  // namespace

KL_COMMAND(Identifier<kAfi>, "iso15693 afi", "write (and lock) the application family identifier")
KL_COMMAND(Identifier<kDsfid>, "iso15693 dsfid", "write (and lock) the data storage format identifier")
