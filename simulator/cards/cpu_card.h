// Contactless processor cards: an ISO14443-4 type A card and a type B card,
// both running the small card operating system, and the type B identity
// card that only tells its 8-byte UID.
#pragma once

#include <memory>

#include "cards/cos.h"
#include "cards/type_a.h"
#include "cards/type_b.h"

namespace sim {

// What a card that takes APDUs over ISO14443-4 offers the reader.
class ApduCard {
public:
    virtual ~ApduCard() = default;
    // Answer (data + status word) to one APDU.
    virtual Bytes apdu(const Bytes& command) = 0;
    // The UID the reader reports for the card (type A UID, type B PUPI).
    virtual Bytes serial() const = 0;

    bool protocolActive() const { return protocol_active_; }
    std::uint8_t cid() const { return cid_; }
    // Entered by RATS (type A) or ATTRIB (type B), left by DESELECT, halt
    // or loss of power.
    void enterProtocol(std::uint8_t cid) {
        protocol_active_ = true;
        cid_ = cid;
        chained_command.clear();
        onEnter();
    }
    void leaveProtocol() {
        protocol_active_ = false;
        chained_command.clear();
    }

    // The answer last sent at block level, repeated on request (R block).
    Bytes last_block;
    // The parts of a chained command received so far.
    Bytes chained_command;

protected:
    virtual void onEnter() {}

private:
    bool protocol_active_ = false;
    std::uint8_t cid_ = 0;
};

// The default personalisation of a card's file system: the MF holds the
// Wiegand record file 000A (64 bytes, free); application DF DF01
// "KOVALINK.APP" holds 0001 (256 bytes, read free, write after external
// authentication) and 0002 (64 bytes, read and write after VERIFY).
void standardCardFiles(Cos& cos);

class CpuCardA : public TypeACard, public ApduCard {
public:
    CpuCardA(Bytes uid, Bytes ats, std::shared_ptr<Cos> cos);

    std::string kind() const override { return "cpu-a"; }
    std::string describe() const override;
    Bytes apdu(const Bytes& command) override { return cos_->process(command); }
    Bytes serial() const override { return uid(); }
    const Bytes& ats() const { return ats_; }
    Cos& cos() { return *cos_; }

    void powerDown() override;
    void deselected() override;
    // A halted or re-selected card must be activated (RATS) again.
    void select() override;
    void halt() override;
    void reset() override;

protected:
    void onEnter() override { cos_->reset(); }

private:
    Bytes ats_;
    std::shared_ptr<Cos> cos_;
};

class CpuCardB : public TypeBCard, public ApduCard {
public:
    CpuCardB(std::array<std::uint8_t, 4> pupi, std::shared_ptr<Cos> cos);

    std::string kind() const override { return "cpu-b"; }
    std::string describe() const override;
    Bytes apdu(const Bytes& command) override { return cos_->process(command); }
    Bytes serial() const override { return Bytes(pupi().begin(), pupi().end()); }
    Cos& cos() { return *cos_; }
    void powerDown() override;

protected:
    void onEnter() override { cos_->reset(); }

private:
    std::shared_ptr<Cos> cos_;
};

// The identity card answers 00 36 00 00 08 with its UID and 90 00; any
// other instruction 6D 00, any other class 6E 00.
class IdCardB : public TypeBCard, public ApduCard {
public:
    IdCardB(std::array<std::uint8_t, 4> pupi, Bytes uid);

    std::string kind() const override { return "idcard-b"; }
    std::string describe() const override;
    Bytes apdu(const Bytes& command) override;
    Bytes serial() const override { return uid_; }
    void powerDown() override;

private:
    Bytes uid_;
};

}  // namespace sim
