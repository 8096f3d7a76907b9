// kovalink crypto mac: the 4-byte MAC of the cipher helpers.
#include "KovalinkHID.h"
#include "core/command.h"
#include "core/errors.h"
#include "core/options.h"

namespace {

class Mac : public kl::Command {
public:
    void define(CLI::App& app) override {
        kl::addHex(app, "-k,--key", key_, 8, 16, "8-byte (single DES) or 16-byte (retail MAC) key")->required();
        kl::addHex(app, "--iv", iv_, 0, 8, "initial value, up to 8 bytes (default zeros)");
        kl::addHex(app, "DATA", data_, 0, 247, "the data, up to 247 bytes")->required();
        app.footer("ISO/IEC 9797-1 padding method 2 (80 then zeros), CBC under K1; with a 16-byte key the\n"
                   "last block also goes through D(K2) E(K1) (MAC algorithm 3). The leftmost 4 bytes.");
    }

    void run(kl::Context& context) override {
        if (key_.size() != 8 && key_.size() != 16) throw kl::usageError("the key has 8 or 16 bytes");
        unsigned char mac[4] = {};
        const int result = Cal_MAC(mac, data_.data(), static_cast<int>(data_.size()), key_.data(),
                                   static_cast<int>(key_.size()), iv_.data(), static_cast<unsigned char>(iv_.size()));
        if (result != 0) throw kl::libraryError("Cal_MAC", result);
        context.out["mac"] = kl::toHex(mac, 4);
    }

private:
    kl::Bytes key_, iv_, data_;
};

}  // namespace

KL_COMMAND(Mac, "crypto mac", "4-byte MAC (DES or retail MAC) over data")
