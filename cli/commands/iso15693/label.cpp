#include "label.h"

#include <algorithm>

#include "KovalinkHID.h"
#include "core/options.h"

namespace kl::iso15693 {

Bytes wireOrder(const Bytes& uid) { return Bytes(uid.rbegin(), uid.rend()); }

void LabelChoice::define(CLI::App& app) {
    addHex(app, "-u,--uid", uid, kUidSize, "the label's UID, E0 first (default: the label an inventory finds)");
    addNumber(app, "--flags", flags, 0, 255, "request flags (default 0x22: addressed, high data rate)");
}

void selectFamily(Session& reader) {
    reader.call("rf_init_type", [&] { return rf_init_type(reader.address(), '1'); });
}

const Bytes& Label::find() {
    selectFamily(reader());
    if (!choice_.uid.empty()) {
        uid_ = wireOrder(choice_.uid);
        return uid_;
    }
    unsigned char data[256] = {};
    unsigned char length = 0;
    reader().call("ISO15693_Inventory", [&] { return ISO15693_Inventory(address(), data, &length); });
    uid_.assign(data + 1, data + 1 + kUidSize);
    return uid_;
}

}  // namespace kl::iso15693
