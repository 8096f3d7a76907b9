// kovalink list: the HID devices and virtual readers present.
#include <cstdio>
#include <iostream>

#include "core/command.h"
#include "core/devices.h"
#include "core/errors.h"

namespace {

std::string id(std::uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value);
    return text;
}

class List : public kl::Command {
public:
    void define(CLI::App& app) override {
        app.footer("Lists every hidraw device (ids from sysfs) and the virtual readers in the virtual-device\n"
                   "folder; 'reader' marks those with the ids of --vid/--pid. Exit code 3 when none has them.");
    }

    void run(kl::Context& context) override {
        const kl::DeviceScan scan = kl::scanDevices();
        kl::Json devices = kl::Json::array();
        int readers = 0, blocked = 0;
        for (const kl::Device& d : scan.devices) {
            const bool reader = d.vendor_id == context.globals.vendor_id && d.product_id == context.globals.product_id;
            readers += reader;
            blocked += reader && !d.accessible;
            devices.push_back({{"kind", d.backend},
                               {"vid", id(d.vendor_id)},
                               {"pid", id(d.product_id)},
                               {"reader", reader ? "yes" : "no"},
                               {"access", d.accessible ? "ok" : "no permission"},
                               {"path", d.path},
                               {"name", d.name}});
        }
        context.out["devices"] = devices;
        context.out["virtual_folder"] = scan.virtual_dir.empty() ? "(disabled)" : scan.virtual_dir;
        if (!scan.virtual_ignored.empty()) context.out["virtual_folder_ignored"] = scan.virtual_ignored;

        if (readers == 0) {
            throw kl::Failure(kl::kExitNoReader,
                              "no reader with ids " + id(static_cast<std::uint16_t>(context.globals.vendor_id)) + ":" +
                                  id(static_cast<std::uint16_t>(context.globals.product_id)) +
                                  " found.\n  Attach the reader, or start the simulator: readersim &\n"
                                  "  (it serves in " + (scan.virtual_dir.empty() ? std::string("no folder: TAVOHID_VIRTUAL_DIR is empty")
                                                                         : scan.virtual_dir) + ")");
        }
        if (blocked > 0) {
            std::cerr << "kovalink: " << blocked << " reader(s) cannot be opened by this user: give it read/write "
                         "access to the hidraw node (a udev rule with MODE=\"0660\" and your group)\n";
        }
    }
};

}  // namespace

KL_COMMAND(List, "list", "list HID devices and virtual readers, marking the reader")
