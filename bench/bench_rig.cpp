#include "bench_rig.h"

#include <stdlib.h>

#include <filesystem>

#include "KovalinkHID.h"
#include "server/families.h"

namespace bench {

Rig::Rig() {
    char pattern[] = "/tmp/kovalink-bench-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) return;
    dir_ = pattern;
    ::setenv("TAVOHID_VIRTUAL_DIR", dir_.c_str(), 1);
    sim::ServerOptions options;
    options.dir = dir_;
    server_ = std::make_unique<sim::DeviceServer>(reader_, sim::fullFirmware(), options);
    std::string why;
    ok_ = server_->start(&why) && rf_init_com(0, 0x1A86, 0xE010) == 0;
}

Rig::~Rig() {
    rf_ClosePort();
    if (server_) server_->stop();
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
}

bool Rig::place(const std::string& spec) {
    static const sim::CardCatalog catalog = sim::fullCatalog();
    std::string type, why;
    sim::CardOptions options;
    if (!sim::parseCardSpec(spec, &type, &options, &why)) return false;
    sim::CardPtr card = catalog.make(type, options, &why);
    if (!card) return false;
    server_->withReader([&](sim::Reader& r) { r.field.place(card); });
    return true;
}

}  // namespace bench
