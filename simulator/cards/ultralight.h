// Page-organised type A tags: Mifare Ultralight, Ultralight C, NTAG203 and
// NTAG213. 4-byte pages, 7-byte UID, static lock bytes and OTP page OR-ed on
// write, dynamic lock bytes on the larger tags, and each tag's protection:
// the Ultralight C's triple-DES key with AUTH0/AUTH1, the NTAG213's
// password with AUTH0/PROT/AUTHLIM.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cards/type_a_session.h"
#include "cards/toolkit.h"

namespace sim {

class UltralightCard : public SessionCard {
public:
    enum class Model { ultralight, ultralightC, ntag203, ntag213 };
    static constexpr std::size_t kPageSize = 4;

    // A tag in factory state with this 7-byte UID.
    UltralightCard(Model model, std::vector<std::uint8_t> uid);

    std::string kind() const override;
    std::string describe() const override;
    bool saveDump(const std::string& path, std::string* why) const override;

    Model model() const { return model_; }
    int pageCount() const;
    const Bytes& image() const { return memory_; }
    // Replaces the page image (same size); the UID stays as it is.
    bool loadImage(const Bytes& image, std::string* why);

    // Settings of the catalogue options.
    void setUlcKey(const std::uint8_t* key16);          // Ultralight C
    void setPassword(const Bytes& pwd, const Bytes& pack);  // NTAG213
    void setSignature(const Bytes& signature) { signature_ = signature; }
    void setAuth0(std::uint8_t page);
    void setReadProtection(bool on);                    // AUTH1 bit 0 clear / PROT set
    void setAuthLimit(std::uint8_t limit);              // NTAG213

    // Tag commands; each returns a reader status (kOk on success).
    std::uint8_t read(int page, Bytes* out);            // 4 pages, rolling over
    std::uint8_t write(int page, const std::uint8_t* data);
    std::uint8_t lockPage(int page, const std::uint8_t* data);
    std::uint8_t fastRead(int first, int last, Bytes* out);
    std::uint8_t readCounter(Bytes* out) const;
    std::uint8_t getVersion(Bytes* out) const;
    std::uint8_t readSignature(Bytes* out) const;
    std::uint8_t passwordAuth(const std::uint8_t* password, Bytes* pack);
    // The tag's two passes of the Ultralight C authentication (see
    // ulc::readerAuthenticate): the encrypted RndB, then the check of the
    // reader's answer and the tag's own proof. A wrong answer drops the tag
    // to idle.
    std::uint8_t ulcChallenge(Bytes* challenge);
    std::uint8_t ulcConfirm(const Bytes& response, Bytes* proof);
    std::uint8_t ulcWriteKey(const std::uint8_t* key16);
    std::uint8_t selectSector(int sector) const;

    bool authenticated() const { return authenticated_; }
    void endSession() override;
    // REQA/WUPA: lock bits and a new Ultralight C key written since the
    // last one take effect now.
    bool request(bool wake_up) override;
    // RF reset: a written counter value applies, the NFC counter may count again.
    void powerDown() override;

private:
    std::uint8_t* page(int p) { return memory_.data() + p * kPageSize; }
    const std::uint8_t* page(int p) const { return memory_.data() + p * kPageSize; }
    int auth0() const;
    bool readProtected() const;
    int readLimit() const;  // pages below it can be read now
    bool pageLocked(int p) const;
    bool dynamicLockBit(int p) const;
    std::uint8_t nak(std::uint8_t status);  // a refused command resets the tag
    std::uint8_t writeLockBytes(int p, const std::uint8_t* data);
    std::uint8_t writeCounter(const std::uint8_t* data);
    void latchLocks();
    bool hidden(int p) const;  // reads back as zeros (NTAG213 password and PACK)
    std::uint8_t checkRead(int p) const;
    void countRead();
    bool isNtag() const { return model_ == Model::ntag203 || model_ == Model::ntag213; }
    int dynamicLockPage() const { return model_ == Model::ultralight ? -1 : 0x28; }
    int counterPage() const { return model_ == Model::ultralightC || model_ == Model::ntag203 ? 0x29 : -1; }

    Bytes ulcKey() const;  // the key in the host's byte order

    Model model_;
    Bytes memory_;
    Bytes rnd_b_;     // the challenge of an authentication under way
    Bytes ulc_iv_;    // the last block it chains on
    Bytes signature_;
    bool authenticated_ = false;
    // The lock bytes (page 2 bytes 2-3, dynamic lock page bytes 0-1) and
    // the Ultralight C key as they were at the last REQA/WUPA.
    std::uint8_t static_locks_[2] = {0, 0};
    std::uint8_t dynamic_locks_[2] = {0, 0};
    Bytes active_key_;
    std::optional<std::uint16_t> counter_pending_;  // applied at the next RF reset
    bool counted_ = false;          // the NFC counter has had its read since power-up
    std::uint32_t nfc_counter_ = 0;
    unsigned failed_attempts_ = 0;  // NTAG213 password failures (kept in the tag)
};

}  // namespace sim
