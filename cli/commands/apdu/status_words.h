// ISO 7816-4 status words in words, and the exchange rules around them:
// 61xx (more data: GET RESPONSE) and 6Cxx (wrong Le: send again with xx).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/bytes.h"

namespace kl::apdu {

// "success", "file not found", "verification failed, 2 tries left" ...
std::string statusWordText(unsigned sw);

// The status word at the end of a response, or -1 when it is shorter than 2 bytes.
int statusWord(const Bytes& response);

// The APDU with its Le set to `le` (replacing an Le it has, adding one otherwise).
Bytes withLe(const Bytes& apdu, std::uint8_t le);

struct Step {
    Bytes command;
    Bytes response;
};

struct Exchange {
    std::vector<Step> steps;  // what went to the card and back, in order
    Bytes data;               // the response data, joined over GET RESPONSEs
    int sw = -1;              // the final status word
};

// Sends `apdu` through `send` and, when `automatic`, follows 61xx with GET
// RESPONSE (data joined) and 6Cxx with the same APDU carrying Le = xx, up to
// a bound of follow-ups.
Exchange transmit(const std::function<Bytes(const Bytes&)>& send, const Bytes& apdu, bool automatic);

}  // namespace kl::apdu
