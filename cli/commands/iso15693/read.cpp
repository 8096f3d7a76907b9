// kovalink iso15693 read FIRST [COUNT]
#include <algorithm>

#include "KovalinkHID.h"
#include "core/data_hex.h"
#include "core/errors.h"
#include "core/options.h"
#include "core/progress.h"
#include "label.h"

namespace {

class Read : public kl::Command {
public:
    void define(CLI::App& app) override {
        kl::addNumber(app, "FIRST", first_, 0, 255, "first block")->required();
        kl::addNumber(app, "COUNT", count_, 1, 256, "number of blocks (default 1; read 15 at a time)");
        app.add_flag("-s,--security", security_, "also show each block's security status (locked or not)");
        label_.define(app);
    }

    void run(kl::Context& context) override {
        if (first_ + count_ > 256) throw kl::usageError("blocks end at 255");
        kl::iso15693::Label label(context, label_);
        label.find();
        kl::Json blocks = kl::Json::array();
        kl::Progress progress;
        for (unsigned at = first_; at < first_ + count_; at += 15) {
            progress.step("block", at, first_, first_ + count_ - 1);
            const unsigned n = std::min(15u, first_ + count_ - at);
            const kl::Bytes data = read(label, at, n);
            const kl::Bytes locks = security_ ? security(label, at, n) : kl::Bytes{};
            for (unsigned i = 0; i < n && (i + 1) * kl::iso15693::kBlockSize <= data.size(); ++i) {
                kl::Json row = {{"block", at + i}, {"data", kl::dataHex(context.out, &data[i * 4], 4)}};
                if (security_) row["locked"] = i < locks.size() && (locks[i] & 0x03) != 0;
                blocks.push_back(row);
            }
        }
        context.out["uid"] = kl::iso15693::showUid(label.uid());
        context.out["blocks"] = blocks;
    }

private:
    static kl::Bytes read(kl::iso15693::Label& label, unsigned first, unsigned count) {
        return call(label, "ISO15693_Read", first, count, ISO15693_Read);
    }
    static kl::Bytes security(kl::iso15693::Label& label, unsigned first, unsigned count) {
        return call(label, "ISO15693_Get_Block_Security", first, count, ISO15693_Get_Block_Security);
    }

    using Fn = int (*)(int, unsigned char, const unsigned char*, unsigned char, unsigned char, unsigned char*,
                       unsigned char*);
    static kl::Bytes call(kl::iso15693::Label& label, const char* name, unsigned first, unsigned count, Fn fn) {
        unsigned char data[256] = {};
        unsigned char length = 0;
        const auto f = static_cast<unsigned char>(first), n = static_cast<unsigned char>(count);
        label.reader().call(
            name, [&] { return fn(label.address(), label.flags(), label.uid().data(), f, n, data, &length); });
        return kl::Bytes(data, data + length);
    }

    unsigned first_ = 0, count_ = 1;
    bool security_ = false;
    kl::iso15693::LabelChoice label_;
};

}  // namespace

KL_COMMAND(Read, "iso15693 read", "read blocks of a label")
