#include "card_answer.h"

#include <algorithm>
#include <cstdio>

namespace kl::apdu {
namespace {

// Frame sizes for FSCI / FSDI 0-8 (ISO 14443-4); larger indices are reserved.
const unsigned kFrameSizes[] = {16, 24, 32, 40, 48, 64, 96, 128, 256};

unsigned frameSize(unsigned index) { return index < 9 ? kFrameSizes[index] : 256; }

}  // namespace

AnswerJson decodeAts(const Bytes& ats) {
    AnswerJson out;
    out["ats"] = toHex(ats);
    if (ats.empty() || static_cast<std::size_t>(ats[0]) != ats.size()) {
        out["valid"] = false;
        out["problem"] = "the length byte TL does not match the ATS";
        return out;
    }
    out["valid"] = true;
    std::size_t at = 1;
    if (ats.size() < 2) return out;
    const std::uint8_t t0 = ats[at++];
    out["fsci"] = t0 & 0x0F;
    out["fsc"] = frameSize(t0 & 0x0F);
    if ((t0 & 0x10) && at < ats.size()) {
        const std::uint8_t ta = ats[at++];
        out["ta1"] = toHex(&ta, 1);
        out["same_bit_rate_both_ways"] = (ta & 0x80) != 0;
    }
    if ((t0 & 0x20) && at < ats.size()) {
        const std::uint8_t tb = ats[at++];
        out["tb1"] = toHex(&tb, 1);
        // FWT = 256 · 16 / fc · 2^FWI, about 302 µs · 2^FWI.
        out["fwi"] = tb >> 4;
        out["frame_wait_us"] = static_cast<unsigned long>(302.0 * (1u << (tb >> 4)));
        out["sfgi"] = tb & 0x0F;
    }
    if ((t0 & 0x40) && at < ats.size()) {
        const std::uint8_t tc = ats[at++];
        out["tc1"] = toHex(&tc, 1);
        out["nad_supported"] = (tc & 0x01) != 0;
        out["cid_supported"] = (tc & 0x02) != 0;
    }
    out["historical_bytes"] = toHex(ats.data() + at, ats.size() - at);
    return out;
}

AnswerJson decodeUidAndAts(const Bytes& answer) {
    for (const std::size_t uid : {4u, 7u, 10u}) {
        if (answer.size() > uid && static_cast<std::size_t>(answer[uid]) == answer.size() - uid) {
            AnswerJson out;
            out["uid"] = toHex(answer.data(), uid);
            const AnswerJson ats = decodeAts(Bytes(answer.begin() + static_cast<std::ptrdiff_t>(uid), answer.end()));
            out.update(ats);
            return out;
        }
    }
    return {{"uid_and_ats", toHex(answer)}, {"valid", false}, {"problem", "no UID of 4, 7 or 10 bytes before an ATS"}};
}

AnswerJson decodeAtr(const Bytes& atr) {
    AnswerJson out;
    out["atr"] = toHex(atr);
    const auto problem = [&](const char* why) {
        out["valid"] = false;
        out["problem"] = why;
        return out;
    };
    if (atr.size() < 2) return problem("shorter than TS and T0");
    if (atr[0] == 0x3B) out["convention"] = "direct";
    else if (atr[0] == 0x3F) out["convention"] = "inverse";
    else return problem("TS is neither 3B nor 3F");
    std::size_t at = 1;
    std::uint8_t y = atr[at] >> 4;
    const unsigned historical = atr[at] & 0x0F;
    ++at;
    AnswerJson protocols = AnswerJson::array();
    AnswerJson interface = AnswerJson::object();
    bool only_t0 = true;
    for (unsigned i = 1; y != 0; ++i) {
        std::uint8_t td = 0;
        for (unsigned bit = 0; bit < 4; ++bit) {
            if (!(y & (1u << bit))) continue;
            if (at >= atr.size()) return problem("cut short in its interface bytes");
            char name[8];
            std::snprintf(name, sizeof name, "T%c%u", "ABCD"[bit], i);
            interface[name] = toHex(&atr[at], 1);
            if (bit == 3) td = atr[at];
            ++at;
        }
        if (!(y & 0x08)) break;
        const unsigned protocol = td & 0x0F;
        if (protocol != 0) only_t0 = false;
        if (std::find(protocols.begin(), protocols.end(), "T=" + std::to_string(protocol)) == protocols.end()) {
            protocols.push_back("T=" + std::to_string(protocol));
        }
        y = td >> 4;
    }
    if (protocols.empty()) protocols.push_back("T=0");
    out["protocols"] = protocols;
    out["interface_bytes"] = interface;
    if (at + historical > atr.size()) return problem("cut short in its historical bytes");
    out["historical_bytes"] = toHex(&atr[at], historical);
    at += historical;
    // A check byte TCK follows unless T=0 is the only protocol.
    if (!only_t0) {
        if (at >= atr.size()) return problem("the check byte TCK is missing");
        std::uint8_t x = 0;
        for (std::size_t i = 1; i <= at; ++i) x ^= atr[i];
        if (x != 0) return problem("the check byte TCK is wrong");
        ++at;
    }
    if (at != atr.size()) return problem("bytes after the end");
    out["valid"] = true;
    return out;
}

}  // namespace kl::apdu
