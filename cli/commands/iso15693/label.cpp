#include "label.h"

#include <algorithm>

#include "KovalinkHID.h"
#include "core/errors.h"
#include "core/targets.h"
#include "core/warning.h"
#include "core/options.h"

namespace kl::iso15693 {

Bytes wireOrder(const Bytes& uid) { return Bytes(uid.rbegin(), uid.rend()); }

void LabelChoice::define(CLI::App& app) {
    addNumber(app, "--flags", flags, 0, 255, "request flags (default 0x22: addressed, high data rate)");
}

void selectFamily(Session& reader) {
    reader.call("rf_init_type", [&] { return rf_init_type(reader.address(), '1'); });
}

const Bytes& Label::find() {
    selectFamily(reader());
    const Bytes& named = targets().uid;
    if (!named.empty()) {
        if (named.size() != kUidSize) {
            throw usageError("--uid " + toHex(named) + ": an ISO15693 label's UID has 8 bytes, E0 first");
        }
        uid_ = wireOrder(named);
        return uid_;
    }
    // Each label answers its DSFID and UID (9 bytes).
    unsigned char data[256] = {};
    unsigned char length = 0;
    reader().call("ISO15693_Inventorys", [&] { return ISO15693_Inventorys(address(), data, &length); });
    if (length < 1 + kUidSize) throw Failure(kExitTransport, "ISO15693_Inventorys answered no whole label");
    uid_.assign(data + 1, data + 1 + kUidSize);
    if (length >= 2 * (1 + kUidSize)) {
        std::string uids;
        for (unsigned at = 0; at + 1 + kUidSize <= length; at += 1 + kUidSize) {
            uids += (uids.empty() ? "" : ", ") + showUid(Bytes(data + at + 1, data + at + 1 + kUidSize));
        }
        warn(context_.out, std::to_string(length / (1 + kUidSize)) + " labels answered: " + uids + "; working with " +
                           showUid(uid_) + " (name another with --uid)");
    }
    return uid_;
}

}  // namespace kl::iso15693
