// kovalink iso15693 write FIRST HEX
#include "KovalinkHID.h"
#include "core/errors.h"
#include "core/options.h"
#include "label.h"

namespace {

class Write : public kl::Command {
public:
    void define(CLI::App& app) override {
        kl::addNumber(app, "FIRST", first_, 0, 255, "first block")->required();
        kl::addHex(app, "DATA", data_, 4, 248, "4 bytes per block, written from FIRST on")->required();
        label_.define(app);
    }

    void run(kl::Context& context) override {
        if (data_.size() % kl::iso15693::kBlockSize != 0) throw kl::usageError("DATA must be whole 4-byte blocks");
        const unsigned count = static_cast<unsigned>(data_.size() / kl::iso15693::kBlockSize);
        if (first_ + count > 256) throw kl::usageError("blocks end at 255");
        kl::iso15693::Label label(context, label_);
        label.find();
        for (unsigned i = 0; i < count; ++i) {
            const auto block = static_cast<unsigned char>(first_ + i);
            const unsigned char* bytes = &data_[i * kl::iso15693::kBlockSize];
            label.reader().call("ISO15693_Write", [&] {
                return ISO15693_Write(label.address(), label.flags(), label.uid().data(), block, bytes);
            });
        }
        context.out["uid"] = kl::iso15693::showUid(label.uid());
        context.out["blocks_written"] = count;
    }

private:
    unsigned first_ = 0;
    kl::Bytes data_;
    kl::iso15693::LabelChoice label_;
};

}  // namespace

KL_COMMAND(Write, "iso15693 write", "write blocks of a label (4 bytes each)")
