// Faults the device server can inject into its replies, for tests that
// prove the library and transport survive a misbehaving reader.
#pragma once

#include <string>

namespace sim {

struct Fault {
    enum class Kind {
        none,
        delay,            // wait delay_ms before replying
        drop,             // read the request, never reply
        truncate,         // send only the first `bytes` bytes of the reply frame
        corrupt_checksum, // flip one bit of the checksum
        garbage,          // send junk bytes before the STX
        split,            // pause delay_ms before report number `report` of the reply
        unplug_request,   // close the connection after the first report of a request
        unplug_reply,     // close the connection after `report` reports of the reply
        wrong_address,    // reply from another address than the reader's
    };

    Kind kind = Kind::none;
    int delay_ms = 0;
    int bytes = 0;
    int report = 1;
    int count = 1;  // how many replies it affects; -1: every one from now on

    // "drop", "delay=5000", "truncate=7", "split=1:200" (report 1, 200 ms),
    // "unplug-reply=1", each optionally followed by "*N" (N replies) or "*"
    // (all). False with a reason when the text cannot be read.
    static bool parse(const std::string& text, Fault* out, std::string* why);
    std::string describe() const;
};

// Help text listing the fault syntax.
extern const char* const kFaultHelp;

}  // namespace sim
