#include "tag.h"

#include <algorithm>

#include "KovalinkHID.h"
#include "core/errors.h"
#include "core/options.h"
#include "core/progress.h"
#include "reader_status.h"
#include "commands/typea/blocks.h"
#include "commands/typea/field.h"

namespace kl::ul {
namespace {
constexpr unsigned kUltralightCPages = 48, kUltralightCKeyPage = 44;
}  // namespace

void AuthChoice::define(CLI::App& app) {
    auto* p = addHex(app, "--password", password, 4, "NTAG password (4 bytes hex) to present first");
    auto* k = addHex(app, "--key", key, 16, "Ultralight C key (16 bytes hex) to authenticate with first");
    p->excludes(k);
}

Bytes Tag::select() {
    // Found once: a tag that refused a command (and dropped back to idle) is
    // selected again by its UID.
    if (!uid_.empty()) {
        unsigned char sak = 0;
        if (!typea::selectByUid(reader(), uid_, &sak)) {
            throw Failure(kExitReaderStatus, "the tag " + toHex(uid_) + " no longer answers");
        }
        return uid_;
    }
    // Ultralight and NTAG tags answer SAK 00 and have a 7-byte UID.
    const auto is_tag = [](const typea::FieldCard& c) { return c.sak == 0x00 && c.uid.size() == 7; };
    const typea::FieldCard card = typea::selectTarget(context_, is_tag);
    if (!is_tag(card)) {
        throw Failure(kExitReaderStatus, "not an Ultralight or NTAG tag: the card that answered is " +
                                             typea::describeCards({card}) + ", " + typea::sortOf(card.sak));
    }
    uid_ = card.uid;
    return uid_;
}

Bytes Tag::open(const AuthChoice& auth) {
    auth_ = auth;
    const Bytes uid = select();
    if (!auth.password.empty()) pack_ = passwordAuth(auth.password);
    if (!auth.key.empty()) keyAuth(auth.key);
    return uid;
}

Bytes Tag::passwordAuth(const Bytes& password) {
    unsigned char pack[256] = {};
    unsigned char length = 0;
    reader().call("rf_Ntag_Password_Auth",
                  [&] { return rf_Ntag_Password_Auth(address(), password.data(), pack, &length); });
    return Bytes(pack, pack + length);
}

void Tag::keyAuth(const Bytes& key) {
    reader().call("rf_Ul_C_Authentication", [&] { return rf_Ul_C_Authentication(address(), 0, key.data()); });
}

Bytes Tag::version() {
    unsigned char data[256] = {};
    unsigned char length = 0;
    const int result =
        reader().tryCall("rf_Ntag_Get_Version", [&] { return rf_Ntag_Get_Version(address(), data, &length); });
    if (result == 1) throw libraryError("rf_Ntag_Get_Version", result);
    if (result != 0) {
        reopen();  // a tag without the command drops back to idle
        return {};
    }
    return Bytes(data, data + length);
}

TagType Tag::identify() {
    TagType type;
    type.version = version();
    if (type.version.size() == 8 && type.version[1] == 0x04) {
        // NTAG21x: the storage size byte gives the user memory.
        switch (type.version[6]) {
        case 0x0F: return {"NTAG213", 45, type.version, 45};
        case 0x11: return {"NTAG215", 135, type.version, 135};
        case 0x13: return {"NTAG216", 231, type.version, 231};
        default: return {"NTAG (unknown size)", 45, type.version, 45};
        }
    }
    if (!type.version.empty()) return {"unknown tag with GET_VERSION", 16, type.version, 16};
    // Without GET_VERSION: Ultralight has 16 pages, NTAG203 42, Ultralight C
    // 48 of which the last four (its key) never read. A probe past the end
    // is refused as out of range; one refused otherwise meets a protected page.
    for (const unsigned probe : {16u, 42u}) {
        int result = 0;
        if (tryRead4(probe, &result)) continue;
        if (result == common::status::kBlockRange) {
            return {probe == 16 ? "Mifare Ultralight" : "NTAG203", probe, {}, probe};
        }
        TagType protected_tag{probe == 16 ? "Ultralight/NTAG (read-protected from page 16 or below)"
                                          : "Mifare Ultralight C (read-protected)",
                              probe == 16 ? 16u : kUltralightCPages, {}, probe};
        protected_tag.read_protected = true;
        return protected_tag;
    }
    return {"Mifare Ultralight C", kUltralightCPages, {}, kUltralightCKeyPage};
}

std::optional<Bytes> Tag::tryRead4(unsigned page, int* result) {
    int status = 0;
    std::optional<Bytes> data = typea::tryRead16(reader(), page, &status);
    if (result) *result = status;
    if (!data) reopen();
    return data;
}

Bytes Tag::readPages(unsigned first, unsigned count, std::string* stopped) {
    Bytes pages;
    Progress progress;
    for (unsigned p = first; p < first + count; p += 4) {
        progress.step("page", p, first, first + count - 1);
        int result = 0;
        const std::optional<Bytes> data = tryRead4(p, &result);
        if (!data) {
            *stopped = "page " + std::to_string(p) + ": " + libraryError("rf_M1_read", result).what();
            break;
        }
        pages.insert(pages.end(), data->begin(), data->begin() + 4 * std::min(4u, first + count - p));
    }
    return pages;
}

void Tag::checkPages(const TagType& type, unsigned first, unsigned count, const std::string& what) {
    if (first + count <= type.pages) return;
    throw usageError("page " + std::to_string(std::max(first, type.pages)) + " is outside this " + type.name +
                     " (pages 0.." + std::to_string(type.pages - 1) + "); " + what);
}

Bytes Tag::read4(unsigned page) { return typea::read16(reader(), page); }

void Tag::write(unsigned page, const Bytes& data) {
    const auto p = static_cast<unsigned char>(page);
    reader().call("rf_ul_write", [&] { return rf_ul_write(address(), p, data.data()); });
}

}  // namespace kl::ul
