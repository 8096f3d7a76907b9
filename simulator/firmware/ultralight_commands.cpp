// Ultralight, Ultralight C and NTAG commands of the reader, on the selected
// tag. A command the selected card does not have answers kNotSupported.
// The Ultralight C commands do not interpret their option bytes except
// 0x95 (initialise), which takes option1 as AUTH0 and option2 as AUTH1 and
// writes them with the key; option3 is not used. 0x96 OR-writes one of the
// lock pages (2, 3 or the dynamic lock page).
#include "cards/ultralight.h"
#include "cards/ultralight_c_auth.h"
#include "firmware/command_families.h"
#include "firmware/typea_reader.h"

namespace sim {
namespace {

template <typename Op>
std::optional<Reply> onTag(Reader& r, const Command& c, std::size_t length, Op op) {
    if (auto bad = needLength(c, length)) return bad;
    std::uint8_t status = kOk;
    UltralightCard* tag = selectedAs<UltralightCard>(r, &status, kNotSupported);
    return tag ? op(*tag) : Reply::error(status);
}

// Commands that take no argument and answer data.
using Query = std::uint8_t (UltralightCard::*)(Bytes*) const;
void registerQuery(Firmware& fw, const kv::ReaderCommand& command, Query query) {
    fw.registerHandler(command, [query](Reader& r, const Command& c) {
        return onTag(r, c, 0, [&](UltralightCard& tag) {
            Bytes data;
            return answer((tag.*query)(&data), data);
        });
    });
}

std::optional<Reply> ulcInit(Reader& r, const Command& c) {
    return onTag(r, c, 19, [&](UltralightCard& tag) {
        const std::uint8_t auth0[4] = {c.payload[0], 0, 0, 0};
        const std::uint8_t auth1[4] = {c.payload[1], 0, 0, 0};
        std::uint8_t status = tag.ulcWriteKey(&c.payload[3]);
        // AUTH1 before AUTH0, so that a newly protected range cannot refuse the rest.
        if (status == kOk) status = tag.write(0x2B, auth1);
        if (status == kOk) status = tag.write(0x2A, auth0);
        return answer(status);
    });
}

}  // namespace

void registerUltralightCommands(Firmware& fw) {
    fw.registerHandler(kv::cmd::rf_ul_write, [](Reader& r, const Command& c) {
        return onTag(r, c, 5, [&](UltralightCard& tag) { return answer(tag.write(c.payload[0], &c.payload[1])); });
    });
    fw.registerHandler(kv::cmd::rf_Ul_C_Lock_Page, [](Reader& r, const Command& c) {
        return onTag(r, c, 5, [&](UltralightCard& tag) { return answer(tag.lockPage(c.payload[0], &c.payload[1])); });
    });
    fw.registerHandler(kv::cmd::rf_Ul_C_Authentication, [](Reader& r, const Command& c) {
        return onTag(r, c, 17,
                     [&](UltralightCard& tag) { return answer(ulc::readerAuthenticate(tag, &c.payload[1])); });
    });
    fw.registerHandler(kv::cmd::rf_Ul_C_ModifyKey, [](Reader& r, const Command& c) {
        return onTag(r, c, 17, [&](UltralightCard& tag) { return answer(tag.ulcWriteKey(&c.payload[1])); });
    });
    fw.registerHandler(kv::cmd::rf_Ul_C_Init, ulcInit);
    fw.registerHandler(kv::cmd::rf_NFC_Select_Sector, [](Reader& r, const Command& c) {
        return onTag(r, c, 1, [&](UltralightCard& tag) { return answer(tag.selectSector(c.payload[0])); });
    });
    fw.registerHandler(kv::cmd::rf_Ntag_Fast_Read, [](Reader& r, const Command& c) {
        return onTag(r, c, 2, [&](UltralightCard& tag) {
            Bytes data;
            return answer(tag.fastRead(c.payload[0], c.payload[1], &data), data);
        });
    });
    fw.registerHandler(kv::cmd::rf_Ntag_Password_Auth, [](Reader& r, const Command& c) {
        return onTag(r, c, 4, [&](UltralightCard& tag) {
            Bytes pack;
            return answer(tag.passwordAuth(c.payload.data(), &pack), pack);
        });
    });
    registerQuery(fw, kv::cmd::rf_Ntag_Get_Version, &UltralightCard::getVersion);
    registerQuery(fw, kv::cmd::rf_Ntag_Read_CNT, &UltralightCard::readCounter);
    registerQuery(fw, kv::cmd::rf_Ntag_Read_Signature, &UltralightCard::readSignature);
}

}  // namespace sim
