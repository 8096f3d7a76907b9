// kovalink crypto des|3des: ECB encryption or decryption of whole blocks.
#include "KovalinkHID.h"
#include "core/command.h"
#include "core/errors.h"
#include "core/options.h"

namespace {

template <std::size_t kKeyLength>
class Des : public kl::Command {
public:
    void define(CLI::App& app) override {
        kl::addHex(app, "-k,--key", key_, kKeyLength,
                   kKeyLength == 8 ? "the 8-byte DES key" : "the 16-byte two-key triple-DES key (K1 K2)")
            ->required();
        kl::addHex(app, "DATA", data_, 8, 248, "whole 8-byte blocks in hex")->required();
        app.add_flag("-d,--decrypt", decrypt_, "decrypt instead of encrypt");
        app.footer("ECB mode, block by block; with a 16-byte key E(K1) D(K2) E(K1). Parity bits are ignored.");
    }

    void run(kl::Context& context) override {
        if (data_.size() % 8 != 0) throw kl::usageError("DATA must be whole 8-byte blocks");
        kl::Bytes input = data_;  // the library overwrites its input with the middle value
        kl::Bytes output(data_.size());
        const int length = static_cast<int>(data_.size()), key_length = static_cast<int>(key_.size());
        const int result = decrypt_ ? des_decrypt(output.data(), input.data(), length, key_.data(), key_length)
                                    : des_encrypt(output.data(), input.data(), length, key_.data(), key_length);
        if (result != 0) throw kl::libraryError(decrypt_ ? "des_decrypt" : "des_encrypt", result);
        context.out[decrypt_ ? "plaintext" : "ciphertext"] = kl::toHex(output);
    }

private:
    kl::Bytes key_, data_;
    bool decrypt_ = false;
};

}  // namespace

KL_COMMAND(Des<8>, "crypto des", "single DES, ECB")
KL_COMMAND(Des<16>, "crypto 3des", "two-key triple DES, ECB")
