// kovalink flash read|write: the reader's own flash memory.
#include "KovalinkHID.h"
#include "core/data_hex.h"
#include "core/command.h"
#include "core/options.h"

namespace {

const bool kFlashGroup = kl::registerGroup("flash", "read or write the reader's own flash memory", "Reader");

class FlashRead : public kl::Command {
public:
    void define(CLI::App& app) override {
        kl::addNumber(app, "ADDRESS", address_, 0, 0xFFFF, "byte address")->required();
        kl::addNumber(app, "LENGTH", length_, 1, 252, "number of bytes, up to 252")->required();
        kl::addNumber(app, "--bank", bank_, 0, 0xFFFF, "first address word (bank), default 0");
    }

    void run(kl::Context& context) override {
        unsigned char data[256] = {};
        const auto a = context.reader.address();
        context.reader.call("rf_flash_read", [&] { return rf_flash_read(a, bank_, address_, length_, data); });
        context.out["address"] = address_;
        context.out["data"] = kl::dataHex(context.out, data, length_);
    }

private:
    unsigned short address_ = 0, bank_ = 0;
    unsigned char length_ = 0;
};

class FlashWrite : public kl::Command {
public:
    void define(CLI::App& app) override {
        kl::addNumber(app, "ADDRESS", address_, 0, 0xFFFF, "byte address")->required();
        kl::addHex(app, "DATA", data_, 1, 64, "up to 64 bytes of hex (what one request carries)")->required();
        kl::addNumber(app, "--bank", bank_, 0, 0xFFFF, "first address word (bank), default 0");
    }

    void run(kl::Context& context) override {
        const auto a = context.reader.address();
        const auto n = static_cast<unsigned char>(data_.size());
        context.reader.call("rf_flash_write", [&] { return rf_flash_write(a, bank_, address_, n, data_.data()); });
        context.out["address"] = address_;
        context.out["written"] = data_.size();
    }

private:
    unsigned short address_ = 0, bank_ = 0;
    kl::Bytes data_;
};

}  // namespace

KL_COMMAND(FlashRead, "flash read", "read bytes of the reader's flash")
KL_COMMAND(FlashWrite, "flash write", "write up to 64 bytes to the reader's flash")
