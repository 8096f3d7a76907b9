// The open reader: opens it on first use, runs library calls, shows the
// wire trace and turns non-zero results into failures.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>

#include "trace_capture.h"
#include "wire_trace.h"

namespace kl {

struct Globals {
    unsigned vendor_id = 0x1A86;
    unsigned product_id = 0xE010;
    std::uint16_t address = 0;
    bool trace = false;
    bool json = false;
};

class Session {
public:
    // With --trace the transport's trace of the reports goes to `trace`,
    // decoded into frames after every call.
    Session(const Globals& globals, std::ostream& trace);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The reader address given with --address.
    std::uint16_t address() const { return globals_.address; }

    // Runs `library_call` (opening the reader first); a non-zero result
    // becomes a failure naming `function`.
    void call(const char* function, const std::function<int()>& library_call);

    // As call(), but returns the result instead of failing.
    int tryCall(const char* function, const std::function<int()>& library_call);

    // Opens the reader now; fails with kExitNoReader.
    void open();

private:
    // Shows the frames that went on the wire since the last look.
    void showTrace();

    const Globals& globals_;
    std::ostream& trace_;
    bool open_ = false;
    TraceCapture capture_;
    WireTraceDecoder decoder_;
};

}  // namespace kl
