// kovalink list: the HID devices and virtual readers present.
#include <cstdio>
#include <iostream>

#include "core/command.h"
#include "core/errors.h"
#include "reader_list.h"

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
                   "folder, as the transport searches them; 'reader' marks those with the ids of --vid/--pid,\n"
                   "'access' says why the transport would pass one over. Exit code 3 when none has the ids.");
    }

    void run(kl::Context& context) override {
        const tavo::ReaderList list = tavo::listReaders();
        kl::Json devices = kl::Json::array();
        int readers = 0;
        std::string passed_over;
        for (const tavo::ReaderCandidate& d : list.candidates) {
            const bool reader = d.ids_known && d.vendor_id == context.globals.vendor_id &&
                                d.product_id == context.globals.product_id;
            readers += reader;
            if (reader && !d.passed_over.empty()) passed_over += "\n  " + d.path + ": " + d.passed_over;
            devices.push_back({{"kind", d.backend},
                               {"vid", d.ids_known ? kl::Json(id(d.vendor_id)) : kl::Json(nullptr)},
                               {"pid", d.ids_known ? kl::Json(id(d.product_id)) : kl::Json(nullptr)},
                               {"reader", reader},
                               {"access", d.passed_over.empty() ? "ok" : d.passed_over},
                               {"path", d.path},
                               {"name", d.name}});
        }
        context.out["devices"] = devices;
        context.out["virtual_folder"] = list.virtual_dir.empty() ? "(disabled)" : list.virtual_dir;
        if (!list.virtual_dir_ignored.empty()) context.out["virtual_folder_ignored"] = list.virtual_dir_ignored;

        if (readers == 0) {
            throw kl::Failure(kl::kExitNoReader,
                              "no reader with ids " + id(static_cast<std::uint16_t>(context.globals.vendor_id)) + ":" +
                                  id(static_cast<std::uint16_t>(context.globals.product_id)) +
                                  " found.\n  Attach the reader, or start the simulator: readersim &\n"
                                  "  (it serves in " +
                                  (list.virtual_dir.empty() ? std::string("no folder: TAVOHID_VIRTUAL_DIR is empty")
                                                            : list.virtual_dir) +
                                  ")");
        }
        if (!passed_over.empty()) {
            std::cerr << "kovalink: the transport would pass over these readers (a udev rule with MODE=\"0660\" "
                         "and your group grants access to a hidraw node):" << passed_over << "\n";
        }
    }
};

}  // namespace

KL_COMMAND(List, "list", "list HID devices and virtual readers, marking the reader")
