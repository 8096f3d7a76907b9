#include "status_words.h"

#include <cstdio>

namespace kl::apdu {
namespace {

struct Known {
    unsigned sw;
    const char* text;
};

const Known kKnown[] = {
    {0x9000, "success"},
    {0x6200, "warning: state of non-volatile memory unchanged"},
    {0x6281, "warning: part of the returned data may be corrupted"},
    {0x6282, "warning: end of file reached before Le bytes"},
    {0x6283, "warning: selected file invalidated"},
    {0x6284, "warning: file control information not formatted"},
    {0x6581, "memory failure"},
    {0x6700, "wrong length"},
    {0x6881, "logical channel not supported"},
    {0x6882, "secure messaging not supported"},
    {0x6981, "command incompatible with the file structure"},
    {0x6982, "security status not satisfied"},
    {0x6983, "authentication method blocked"},
    {0x6984, "reference data invalidated"},
    {0x6985, "conditions of use not satisfied"},
    {0x6986, "command not allowed (no current EF)"},
    {0x6987, "expected secure messaging data objects missing"},
    {0x6988, "secure messaging data objects incorrect (bad MAC)"},
    {0x6A80, "incorrect parameters in the data field"},
    {0x6A81, "function not supported"},
    {0x6A82, "file or application not found"},
    {0x6A83, "record not found"},
    {0x6A84, "not enough memory space in the file"},
    {0x6A86, "incorrect parameters P1-P2"},
    {0x6A88, "referenced data not found"},
    {0x6B00, "wrong parameters P1-P2 (offset outside the file)"},
    {0x6D00, "instruction not supported"},
    {0x6E00, "class not supported"},
    {0x6F00, "no precise diagnosis"},
    {0x9401, "purse balance too low"},
    {0x9402, "purse balance would exceed its maximum"},
    {0x9403, "key not found"},
};

std::string format(const char* pattern, unsigned value) {
    char text[96];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

}  // namespace

std::string statusWordText(unsigned sw) {
    for (const Known& k : kKnown) {
        if (k.sw == sw) return k.text;
    }
    const unsigned sw1 = sw >> 8, sw2 = sw & 0xFF;
    if (sw1 == 0x61) return format("%u more bytes available (GET RESPONSE)", sw2);
    if (sw1 == 0x6C) return format("wrong Le: %u bytes available", sw2);
    if (sw1 == 0x63 && (sw2 & 0xF0) == 0xC0) return format("verification failed, %u tries left", sw2 & 0x0F);
    if (sw1 == 0x62 || sw1 == 0x63) return "warning";
    if (sw1 == 0x64) return "execution error, memory unchanged";
    if (sw1 == 0x65) return "execution error, memory changed";
    if (sw1 == 0x67) return "wrong length";
    if (sw1 == 0x68) return "function in CLA not supported";
    if (sw1 == 0x69) return "command not allowed";
    if (sw1 == 0x6A) return "wrong parameters P1-P2";
    return "unknown status word";
}

int statusWord(const Bytes& response) {
    if (response.size() < 2) return -1;
    return response[response.size() - 2] << 8 | response.back();
}

Bytes withLe(const Bytes& apdu, std::uint8_t le) {
    Bytes out = apdu;
    // Short APDUs: 4 bytes (case 1) gain Le; 5 bytes (case 2) end in Le;
    // otherwise byte 4 is Lc and an Le follows the data when present (case 4).
    const bool has_le = apdu.size() == 5 || (apdu.size() > 5 && apdu.size() == 5u + apdu[4] + 1);
    if (has_le) out.back() = le;
    else out.push_back(le);
    return out;
}

Exchange transmit(const std::function<Bytes(const Bytes&)>& send, const Bytes& apdu, bool automatic) {
    constexpr int kMaxFollowUps = 32;
    Exchange exchange;
    Bytes command = apdu;
    for (int step = 0; step <= kMaxFollowUps; ++step) {
        const Bytes response = send(command);
        exchange.steps.push_back({command, response});
        exchange.sw = statusWord(response);
        if (exchange.sw < 0) {
            exchange.data.insert(exchange.data.end(), response.begin(), response.end());
            break;
        }
        exchange.data.insert(exchange.data.end(), response.begin(), response.end() - 2);
        const unsigned sw1 = static_cast<unsigned>(exchange.sw) >> 8;
        const auto sw2 = static_cast<std::uint8_t>(exchange.sw & 0xFF);
        if (!automatic || step == kMaxFollowUps) break;
        if (sw1 == 0x61) {
            command = {apdu.empty() ? std::uint8_t{0} : apdu[0], 0xC0, 0x00, 0x00, sw2};
        } else if (sw1 == 0x6C) {
            command = withLe(command, sw2);
        } else {
            break;
        }
    }
    return exchange;
}

}  // namespace kl::apdu
