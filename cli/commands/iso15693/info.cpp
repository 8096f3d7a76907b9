// kovalink iso15693 info: system information of a label.
#include "KovalinkHID.h"
#include "core/errors.h"
#include "label.h"

namespace {

class Info : public kl::Command {
public:
    void define(CLI::App& app) override { label_.define(app); }

    void run(kl::Context& context) override {
        kl::iso15693::Label label(context, label_);
        label.find();
        unsigned char data[256] = {};
        unsigned char length = 0;
        label.reader().call("ISO15693_Get_System_Information", [&] {
            return ISO15693_Get_System_Information(label.address(), label.flags(), label.uid().data(), data, &length);
        });
        if (length < 9) throw kl::Failure(kl::kExitTransport, "system information shorter than 9 bytes");
        // Information flags, UID, then the fields the flags announce.
        const std::uint8_t info = data[0];
        unsigned at = 9;
        kl::Output& out = context.out;
        out["uid"] = kl::iso15693::showUid(kl::Bytes(data + 1, data + 9));
        if ((info & 0x01) && at < length) out["dsfid"] = kl::toHex(&data[at++], 1);
        if ((info & 0x02) && at < length) out["afi"] = kl::toHex(&data[at++], 1);
        if ((info & 0x04) && at + 1 < length) {
            out["blocks"] = data[at] + 1;
            out["block_size"] = (data[at + 1] & 0x1F) + 1;
            at += 2;
        }
        if ((info & 0x08) && at < length) out["ic_reference"] = kl::toHex(&data[at++], 1);
        out["raw"] = kl::toHex(data, length);
    }

private:
    kl::iso15693::LabelChoice label_;
};

}  // namespace

KL_COMMAND(Info, "iso15693 info", "show a label's system information: DSFID, AFI, memory size, IC reference")
