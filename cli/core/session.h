// The open reader: opens it on first use, runs library calls, prints the
// trace and turns non-zero results into failures.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>

#include "bytes.h"

namespace kl {

struct Globals {
    unsigned vendor_id = 0x1A86;
    unsigned product_id = 0xE010;
    std::uint16_t address = 0;
    bool trace = false;
    bool json = false;
};

// One library call as the trace shows it: the function, its command code and
// the request payload it lays out.
struct Call {
    const char* function;
    std::uint8_t code;
    Bytes payload;
    int address = -1;  // the frame's address when the function fixes it, else the reader's
};

class Session {
public:
    Session(const Globals& globals, std::ostream& trace);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The reader address given with --address.
    std::uint16_t address() const { return globals_.address; }

    // Runs `library_call` (opening the reader first); a non-zero result
    // becomes a failure naming the function. `reply` gives the output data
    // for the trace once the call succeeded.
    void call(const Call& call, const std::function<int()>& library_call,
              const std::function<Bytes()>& reply = {});

    // As call(), but returns the result instead of failing.
    int tryCall(const Call& call, const std::function<int()>& library_call,
                const std::function<Bytes()>& reply = {});

    // Shows a whole reply body (door_acess) in the trace.
    void traceReplyBody(const char* function, const Bytes& body);

    // Opens the reader now; fails with kExitNoReader.
    void open();

private:
    const Globals& globals_;
    std::ostream& trace_;
    bool open_ = false;
};

}  // namespace kl
