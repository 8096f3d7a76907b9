// kovalink address get|set: the reader's own address (device number).
#include "KovalinkHID.h"
#include "core/command.h"
#include "core/options.h"

namespace {

const bool kAddressGroup = kl::registerGroup("address", "read or change the reader's address (device number)", "Reader");

class AddressGet : public kl::Command {
public:
    void define(CLI::App& app) override {
        app.footer("The question goes to address 0, which every reader answers.");
    }

    void run(kl::Context& context) override {
        unsigned short number = 0;
        context.reader.call("rf_get_device_number",
                            [&] { return rf_get_device_number(context.reader.address(), &number); });
        context.out["address"] = number;
    }
};

class AddressSet : public kl::Command {
public:
    void define(CLI::App& app) override {
        kl::addNumber(app, "ADDRESS", address_, 0, 0xFFFF, "the new address, 0 to 65535")->required();
        app.footer("Sent to the address given with --address (default 0). Later commands must then use\n"
                   "--address with the new value, or address 0.");
    }

    void run(kl::Context& context) override {
        context.reader.call("rf_init_device_number",
                            [&] { return rf_init_device_number(context.reader.address(), address_); });
        context.out["address"] = address_;
    }

private:
    unsigned short address_ = 0;
};

}  // namespace

KL_COMMAND(AddressGet, "address get", "show the reader's address")
KL_COMMAND(AddressSet, "address set", "give the reader a new address")
