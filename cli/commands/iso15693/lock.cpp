// kovalink iso15693 lock BLOCK --yes
#include "KovalinkHID.h"
#include "core/errors.h"
#include "core/options.h"
#include "label.h"

namespace {

class Lock : public kl::Command {
public:
    void define(CLI::App& app) override {
        kl::addNumber(app, "BLOCK", block_, 0, 255, "the block to lock")->required();
        app.add_flag("--yes", yes_, "confirm: a locked block can never be written again");
        label_.define(app);
    }

    void run(kl::Context& context) override {
        if (!yes_) throw kl::usageError("locking is permanent; add --yes");
        kl::iso15693::Label label(context, label_);
        label.find();
        label.reader().call("ISO15693_Lock_Block", [&] {
            return ISO15693_Lock_Block(label.address(), label.flags(), label.uid().data(), block_);
        });
        context.out["uid"] = kl::iso15693::showUid(label.uid());
        context.out["locked_block"] = block_;
    }

private:
    unsigned char block_ = 0;
    bool yes_ = false;
    kl::iso15693::LabelChoice label_;
};

}  // namespace

KL_COMMAND(Lock, "iso15693 lock", "lock a block of a label for good")
