#include "session.h"

#include <cstdio>
#include <ostream>

#include "KovalinkHID.h"
#include "devices.h"
#include "errors.h"
#include "frame_text.h"

namespace kl {

Session::Session(const Globals& globals, std::ostream& trace) : globals_(globals), trace_(trace) {}

Session::~Session() {
    if (open_) rf_ClosePort();
}

void Session::open() {
    if (open_) return;
    if (rf_init_com(0, static_cast<int>(globals_.vendor_id), static_cast<int>(globals_.product_id)) != 0) {
        char ids[64];
        std::snprintf(ids, sizeof ids, "%04X:%04X", globals_.vendor_id, globals_.product_id);
        // Say why, as far as the device list tells.
        std::string hint = "; start readersim or attach the reader ('kovalink list' shows what is present)";
        for (const Device& d : scanDevices().devices) {
            if (d.vendor_id == globals_.vendor_id && d.product_id == globals_.product_id) {
                hint = d.accessible ? "; " + d.path + " is present but did not open"
                                    : "; no permission to open " + d.path + " (a udev rule must grant it)";
                break;
            }
        }
        throw Failure(kExitNoReader, std::string("rf_init_com failed: no reader with ids ") + ids + " opened" + hint);
    }
    open_ = true;
}

int Session::tryCall(const Call& call, const std::function<int()>& library_call,
                     const std::function<Bytes()>& reply) {
    open();
    if (globals_.trace) {
        const auto address = static_cast<std::uint16_t>(call.address >= 0 ? call.address : globals_.address);
        trace_ << "-> " << call.function << "  " << toHex(encodeRequestFrame(address, call.code, call.payload), " ")
               << "\n";
    }
    const int result = library_call();
    if (globals_.trace) {
        trace_ << "<- " << call.function << "  ";
        if (result == 0) {
            trace_ << "status 00";
            if (reply) {
                const Bytes data = reply();
                trace_ << ", " << data.size() << " bytes" << (data.empty() ? "" : ": " + toHex(data, " "));
            }
        } else {
            char code[24];
            if (result < 0 || result > 255) std::snprintf(code, sizeof code, "result %d", result);
            else std::snprintf(code, sizeof code, "status %02X", static_cast<unsigned>(result));
            trace_ << code << " (" << describeResult(result) << ")";
        }
        trace_ << "\n";
    }
    return result;
}

void Session::call(const Call& call, const std::function<int()>& library_call, const std::function<Bytes()>& reply) {
    if (const int result = tryCall(call, library_call, reply)) throw libraryError(call.function, result);
}

void Session::traceReplyBody(const char* function, const Bytes& body) {
    if (!globals_.trace) return;
    trace_ << "<- " << function << "  " << toHex(frameBody(body), " ") << "\n";
}

}  // namespace kl
