// kovalink info: who the reader is.
#include "KovalinkHID.h"
#include "core/command.h"
#include "reader_list.h"

namespace {

class Info : public kl::Command {
public:
    void define(CLI::App&) override {}

    void run(kl::Context& context) override {
        kl::Session& reader = context.reader;
        const std::uint16_t address = reader.address();
        int version = 0;
        lib_ver(&version);

        unsigned short number = 0;
        reader.call("rf_get_device_number", [&] { return rf_get_device_number(address, &number); });
        unsigned char model[2] = {};
        reader.call("rf_get_model", [&] { return rf_get_model(address, model); });
        unsigned char serial[256] = {};
        int serial_length = 0;
        reader.call("rf_get_snr", [&] { return rf_get_snr(address, serial, &serial_length); });

        context.out["address"] = number;
        context.out["model"] = kl::toHex(model, 2);
        context.out["serial"] = kl::toHex(serial, static_cast<std::size_t>(serial_length));
        context.out["library_version"] = version;
        // A reader was found elsewhere, but virtual readers were not searched.
        const tavo::ReaderList list = tavo::listReaders();
        if (!list.virtual_dir_ignored.empty()) context.out["virtual_folder_ignored"] = list.virtual_dir_ignored;
    }
};

}  // namespace

KL_COMMAND(Info, "info", "show the reader's address, model, serial number and the library version")
