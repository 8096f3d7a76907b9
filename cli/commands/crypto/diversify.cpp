// kovalink crypto diversify: a card key derived from a master key.
#include "KovalinkHID.h"
#include "core/command.h"
#include "core/errors.h"
#include "core/options.h"

namespace {

class Diversify : public kl::Command {
public:
    void define(CLI::App& app) override {
        kl::addHex(app, "-k,--key", key_, 8, 16, "master key, 8 or 16 bytes")->required();
        kl::addHex(app, "DATA", data_, 8, "8 bytes of diversification data (a UID padded with zeros)")->required();
        app.footer("Output: ENC(key)(DATA) followed by ENC(key)(NOT DATA), a 16-byte key.");
    }

    void run(kl::Context& context) override {
        if (key_.size() != 8 && key_.size() != 16) throw kl::usageError("the key has 8 or 16 bytes");
        unsigned char output[16] = {};
        const int result = Key_Scatter(output, data_.data(), 8, key_.data(), static_cast<int>(key_.size()));
        if (result != 0) throw kl::libraryError("Key_Scatter", result);
        context.out["key"] = kl::toHex(output, 16);
    }

private:
    kl::Bytes key_, data_;
};

}  // namespace

KL_COMMAND(Diversify, "crypto diversify", "derive a 16-byte card key from a master key (Key_Scatter)")
