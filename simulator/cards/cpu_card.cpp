#include "cards/cpu_card.h"

namespace sim {
namespace {
// ATQA bits 8-7 give the UID size: 00 single (4 bytes), 01 double (7),
// 10 triple (10); bit 3 the bit-frame anticollision.
constexpr std::uint16_t kAtqaSingle = 0x0004;
constexpr std::uint16_t kAtqaDouble = 0x0044;
constexpr std::uint16_t kAtqaTriple = 0x0084;

std::uint16_t atqaFor(std::size_t uid_size) {
    if (uid_size == 4) return kAtqaSingle;
    return uid_size == 7 ? kAtqaDouble : kAtqaTriple;
}
constexpr std::uint8_t kSakIso14443_4 = 0x20;
// Bit rate 106 kbit/s, frame size 256 bytes and ISO14443-4, FWI 7.
constexpr std::array<std::uint8_t, 3> kProtocolInfo = {0x00, 0x81, 0x71};
}  // namespace

void standardCardFiles(Cos& cos) {
    cos.master().files.push_back(CosFile{0x000A, Bytes(64, 0x00), Access::free, Access::free});
    CosDf& app = cos.addDf(0xDF01, "KOVALINK.APP");
    app.files.push_back(CosFile{0x0001, Bytes(256, 0x00), Access::free, Access::key});
    app.files.push_back(CosFile{0x0002, Bytes(64, 0x00), Access::pin, Access::pin});
}

CpuCardA::CpuCardA(Bytes uid, Bytes ats, std::shared_ptr<Cos> cos)
    : TypeACard(uid, atqaFor(uid.size()), kSakIso14443_4),
      ats_(std::move(ats)),
      cos_(std::move(cos)) {}

std::string CpuCardA::describe() const { return "cpu-a uid " + hex(uid()); }

void CpuCardA::powerDown() {
    TypeACard::powerDown();
    leaveProtocol();
}

void CpuCardA::deselected() {
    TypeACard::deselected();
    leaveProtocol();
}

void CpuCardA::select() {
    TypeACard::select();
    leaveProtocol();
}

void CpuCardA::halt() {
    TypeACard::halt();
    leaveProtocol();
}

void CpuCardA::reset() {
    TypeACard::reset();
    leaveProtocol();
}

CpuCardB::CpuCardB(std::array<std::uint8_t, 4> pupi, std::shared_ptr<Cos> cos)
    : TypeBCard(pupi, {0x00, 0x00, 0x00, 0x00}, kProtocolInfo, 'B'), cos_(std::move(cos)) {}

std::string CpuCardB::describe() const { return "cpu-b pupi " + hex(pupi().data(), pupi().size()); }

void CpuCardB::powerDown() {
    TypeBCard::powerDown();
    leaveProtocol();
}

IdCardB::IdCardB(std::array<std::uint8_t, 4> pupi, Bytes uid)
    : TypeBCard(pupi, {0x00, 0x00, 0x00, 0x00}, kProtocolInfo, 'B'), uid_(std::move(uid)) {}

std::string IdCardB::describe() const { return "idcard-b uid " + hex(uid_); }

Bytes IdCardB::apdu(const Bytes& command) {
    if (command.size() >= 1 && command[0] != 0x00) return swOnly(0x6E00);
    const Bytes get_uid{0x00, 0x36, 0x00, 0x00, 0x08};
    if (command != get_uid) return swOnly(0x6D00);
    return withSw(uid_, 0x9000);
}

void IdCardB::powerDown() {
    TypeBCard::powerDown();
    leaveProtocol();
}

}  // namespace sim
