// kovalink display B1 B2 HEX: the reader's display, if it has one.
#include "KovalinkHID.h"
#include "core/data_hex.h"
#include "core/command.h"
#include "core/options.h"

namespace {

class Display : public kl::Command {
public:
    void define(CLI::App& app) override {
        kl::addNumber(app, "FIRST", first_, 0, 255, "first control byte")->required();
        kl::addNumber(app, "SECOND", second_, 0, 255, "second control byte")->required();
        kl::addHex(app, "DATA", data_, 3, "3 display bytes")->required();
        app.footer("The meaning of the bytes is the reader's; they are passed unchanged.");
    }

    void run(kl::Context& context) override {
        const auto a = context.reader.address();
        context.reader.call("rf_display", [&] { return rf_display(a, first_, second_, data_.data()); });
        context.out["display"] = kl::dataHex(context.out, data_);
    }

private:
    unsigned char first_ = 0, second_ = 0;
    kl::Bytes data_;
};

}  // namespace

KL_COMMAND(Display, "display", "write to the reader's display")
