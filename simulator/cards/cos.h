// A small card operating system for the simulated processor cards, SAMs
// and the contact card: a master file with application DFs (by file id and
// by name) holding transparent EFs, a key table with try counters, a PIN,
// an electronic purse, and for SAMs the cryptographic services a terminal
// asks of them. It answers APDUs with response data and a status word.
//
// Commands (class 00 unless noted; anything else gives 6E00 / 6D00):
//   A4 SELECT        P1 00 by file id (Lc 2), P1 04 by DF name; P2 00, or
//                    0C for no FCI. A DF answers its FCI (6F .. 84 name),
//                    an EF 9000.
//                    Selecting a DF clears the security state.
//   B0 READ BINARY   P1 bit 8 set: short file id (P1 & 1F) and offset P2;
//                    else offset P1P2 of the current EF. Le 0 reads to the
//                    end of the file, at most 256 bytes; past the end 6282
//                    with what exists. An answer longer than one reader
//                    frame carries (250 bytes) gives its first 250 bytes
//                    and 61xx, the rest by GET RESPONSE.
//   C0 GET RESPONSE  P1 P2 00, Le the bytes still waiting (61xx); a
//                    smaller Le gives that much and 61xx for the rest, a
//                    larger one 6Cxx. Any other command drops the rest.
//   D6 UPDATE BINARY same addressing, Lc data.
//   84 GET CHALLENGE Le 4 or 8; a 4-byte challenge counts as those bytes
//                    followed by 4 zeros.
//   82 EXTERNAL AUTH P2 key id, Lc 8: the last challenge encrypted under the
//                    key (DES for 8 bytes, 3DES for 16), diversified from the
//                    UID when the card is set so. One attempt per challenge.
//                    Failures count down (63Cx); at 0 the key is blocked (6983).
//   20 VERIFY        P2 PIN reference; no data: 63Cx tries left.
//   80 5E CHANGE PIN P1 01: old FF new. P1 00 (reload): new PIN followed by
//                    a MAC (Cal_MAC, zero IV) under the reload key; resets
//                    the try counter.
//   80 0E ERASE DF   after external authentication: the DF's files are
//                    zeroed (and, on a card, the purse emptied).
//   80 D4 WRITE KEY  P1 00 install, 01 change; P2 key id; data key (8/16)
//                    or try limit + key (9/17). Changing, or replacing an
//                    installed key, needs external authentication.
// Purse (cards):
//   80 5C GET BALANCE P2 02, Le 4.
//   80 50 INITIALIZE P1 00 credit / 01 debit, P2 purse key id, data type(1)
//                    amount(4) terminal(6); answer balance(4) serial(2)
//                    random(4).
//   80 52 COMMIT     data date_time(7) aux(0-8) MAC(4): MAC over random
//                    serial aux amount type terminal date_time under the
//                    purse key. Answer new balance(4) TAC(4); the TAC is
//                    the MAC of balance serial amount type terminal
//                    date_time. 6988 bad MAC, 9401 balance too low, 9402
//                    balance would exceed 7FFFFFFF.
//   80 5A TRANSACTION PROOF P2 type, data serial(2): balance(4) TAC(4).
// SAM services:
//   88 INTERNAL AUTH P1 00: data (8/16) encrypted under key P2; P1 01:
//                    div(8) block(8), the block encrypted under the key
//                    scattered over div.
//   80 1A DELIVER KEY P2 key id, data 0-3 blocks of 8: session key = the
//                    key scattered over each block in turn.
//   80 FA CIPHER     whole blocks encrypted under the session key.
//   80 70 PURSE MAC  P1 aux length, P2 key id, data random serial aux
//                    amount type terminal date_time div(0-3 blocks): the
//                    purse MAC under the key scattered over div.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <vector>

#include "cards/toolkit.h"

namespace sim {

enum class Access : std::uint8_t { free, pin, key, never };

struct CosFile {
    std::uint16_t fid = 0;
    Bytes data;
    Access read = Access::free;
    Access write = Access::free;
};

struct CosDf {
    std::uint16_t fid = 0;
    Bytes name;
    std::vector<CosFile> files;
};

struct CosKey {
    Bytes value;  // 8 or 16 bytes
    int limit = 3;
    int left = 3;
};

struct CosTransaction {
    std::uint16_t serial = 0;
    std::uint8_t type = 0;
    Bytes answer;  // balance and TAC
};

class Cos {
public:
    enum class Role { card, sam };

    // A master file 3F00 named "1PAY.SYS.DDF01" with no files.
    explicit Cos(Role role);

    // Personalisation.
    CosDf& master() { return dfs_.front(); }
    CosDf& addDf(std::uint16_t fid, const std::string& name);
    void setKey(std::uint8_t id, Bytes value, int limit);
    const CosKey* key(std::uint8_t id) const;
    void setPin(Bytes pin, int limit);
    void setReloadKey(Bytes key) { reload_key_ = std::move(key); }
    // The external-authentication keys are scattered over this (the UID,
    // zero-padded or cut to 8 bytes) when set.
    void setDiversifier(std::optional<Bytes> uid);
    void setBalance(std::uint32_t value) { balance_ = value; }
    // Challenges and purse randoms are drawn from `seed` from now on, so that
    // a session can be repeated exactly.
    void seedRandom(std::uint32_t seed) { random_.seed(seed); }
    std::uint32_t balance() const { return balance_; }
    int pinTriesLeft() const { return pin_left_; }

    // Back to the state after reset: MF selected, nothing authenticated.
    void reset();
    // One APDU; the answer is data followed by SW1 SW2.
    Bytes process(const Bytes& apdu);

private:
    struct Apdu {
        std::uint8_t cla, ins, p1, p2;
        Bytes data;
        std::optional<unsigned> le;  // 0 stands for 256
    };
    using Sw = std::uint16_t;

    bool allowed(Access access) const;
    CosFile* currentFile();
    Bytes cryptKey(std::uint8_t id, const Bytes& diversify_blocks) const;

    Bytes select(const Apdu& a);
    Bytes readBinary(const Apdu& a);
    Bytes updateBinary(const Apdu& a);
    Bytes getChallenge(const Apdu& a);
    Bytes externalAuthenticate(const Apdu& a);
    Bytes verify(const Apdu& a);
    Bytes changePin(const Apdu& a);
    Bytes eraseDf(const Apdu& a);
    Bytes writeKey(const Apdu& a);
    Bytes getBalance(const Apdu& a);
    Bytes initialize(const Apdu& a);
    Bytes commit(const Apdu& a);
    Bytes transactionProof(const Apdu& a);
    Bytes internalAuthenticate(const Apdu& a);
    Bytes deliverKey(const Apdu& a);
    Bytes cipher(const Apdu& a);
    Bytes purseMac(const Apdu& a);
    Bytes getResponse(const Apdu& a);
    // Data and status word, or, when the data would not fit one reader
    // frame, its first part and 61xx with the rest kept for GET RESPONSE.
    Bytes answerInParts(Bytes data, Sw sw);
    // Resolves the file a READ/UPDATE BINARY addresses and its offset.
    CosFile* binaryTarget(const Apdu& a, std::size_t* offset, Sw* error);

    Role role_;
    std::vector<CosDf> dfs_;  // [0] is the MF
    std::map<std::uint8_t, CosKey> keys_;
    Bytes pin_;
    int pin_limit_ = 3;
    int pin_left_ = 3;
    Bytes reload_key_;
    std::optional<Bytes> diversifier_;
    std::uint32_t balance_ = 0;
    std::uint16_t serial_ = 0;
    std::vector<CosTransaction> log_;
    std::mt19937 random_;

    // Volatile state.
    std::size_t current_df_ = 0;
    std::optional<std::size_t> current_ef_;
    std::optional<Bytes> challenge_;
    bool authenticated_ = false;
    bool pin_verified_ = false;
    std::optional<Bytes> session_key_;
    struct Pending {
        bool debit;
        std::uint8_t key_id, type;
        Bytes amount, terminal, random;
    };
    std::optional<Pending> pending_;
    Bytes response_rest_;  // what GET RESPONSE still has to give
    Sw response_sw_ = 0;   // and the status word that ends it
};

// SW1 SW2 appended to data.
Bytes withSw(Bytes data, std::uint16_t sw);
Bytes swOnly(std::uint16_t sw);

// The purse MAC over random serial aux amount type terminal date_time.
Bytes purseMacOf(const Bytes& key, const Bytes& random, const Bytes& serial, const Bytes& aux, const Bytes& amount,
                 std::uint8_t type, const Bytes& terminal, const Bytes& date_time);

}  // namespace sim
