#include "session.h"

#include <cstdio>
#include <ostream>

#include "KovalinkHID.h"
#include "errors.h"
#include "exchange_count.h"
#include "field_reset.h"
#include "platform.h"
#include "reader_list.h"
#include "targets.h"

namespace kl {

Session::Session(const Globals& globals, std::ostream& trace) : globals_(globals), trace_(trace) {}

Session::~Session() {
    if (!open_) return;
    if (fieldResetWanted()) {
        for (const unsigned char on : {0, 1}) rf_antenna_sta(globals_.address, on);
    }
    rf_ClosePort();
}

namespace {

// The reader's serial number as hex, or empty when it does not answer.
std::string serialOfOpenReader(std::uint16_t address) {
    unsigned char serial[256] = {};
    int length = 0;
    if (rf_get_snr(address, serial, &length) != 0 || length < 0 || length > 252) return {};
    return toHex(serial, static_cast<std::size_t>(length));
}

// Serial numbers compare as bytes: "2026 1207 ..." and "20261207..." match.
bool sameSerial(const std::string& text, const std::string& serial) {
    Bytes wanted;
    std::string why;
    return parseHex(text, &wanted, &why) && !wanted.empty() && toHex(wanted) == serial;
}

// rf_init_com on the device at `path` only (any with the ids when empty):
// the transport considers only the device TAVOHID_DEVICE names.
bool openDevice(const std::string& path, const Globals& globals) {
    if (!path.empty()) setEnvironment("TAVOHID_DEVICE", path);
    return rf_init_com(0, static_cast<int>(globals.vendor_id), static_cast<int>(globals.product_id)) == 0;
}

}  // namespace

void Session::open() {
    if (open_) return;
    // The transport reads TAVOHID_TRACE when it opens the reader.
    if (globals_.trace) {
        if (const std::string why = capture_.start(); !why.empty()) {
            throw Failure(kExitFailure, "--trace: cannot create the trace file " + why);
        }
    }
    char ids[64];
    std::snprintf(ids, sizeof ids, "%04X:%04X", globals_.vendor_id, globals_.product_id);
    const std::string& device = targets().device;
    const tavo::ReaderList list = tavo::listReaders();
    // --device with a '/' is a path; otherwise it is a serial number, asked
    // of each reader with the ids in turn.
    if (!device.empty() && device.find('/') == std::string::npos) {
        std::string seen;
        for (const tavo::ReaderCandidate& d : list.candidates) {
            if (!d.ids_known || d.vendor_id != globals_.vendor_id || d.product_id != globals_.product_id) continue;
            if (!openDevice(d.path, globals_)) continue;
            const std::string serial = serialOfOpenReader(globals_.address);
            if (sameSerial(device, serial)) {
                open_ = true;
                break;
            }
            rf_ClosePort();
            seen += (seen.empty() ? "" : ", ") + d.path + " (serial " + (serial.empty() ? "unknown" : serial) + ")";
        }
        capture_.unlink();
        if (!open_) {
            throw Failure(kExitNoReader, "no reader with ids " + std::string(ids) + " has the serial number " + device +
                                             (seen.empty() ? std::string(" (none opened)") : " (found: " + seen + ")"));
        }
        showTrace();
        return;
    }
    const bool opened = openDevice(device, globals_);
    capture_.unlink();
    if (!opened) {
        // Say why, as far as the list of readers tells.
        std::string hint = "; start readersim or attach the reader ('kovalink list' shows what is present)";
        // A folder passed over hides every reader in it: that comes first.
        if (!list.virtual_dir_ignored.empty()) {
            hint = "; the virtual-device folder is passed over: " + list.virtual_dir_ignored;
        }
        for (const tavo::ReaderCandidate& d : list.candidates) {
            if (d.ids_known && d.vendor_id == globals_.vendor_id && d.product_id == globals_.product_id &&
                (device.empty() || d.path == device)) {
                hint = d.passed_over.empty() ? "; " + d.path + " is present but did not open"
                                             : "; " + d.path + ": " + d.passed_over + " (a udev rule must grant it)";
                break;
            }
        }
        if (!device.empty() && hint.find(device) == std::string::npos) {
            hint = "; there is no reader at " + device + " ('kovalink list' shows what is present)";
        }
        throw Failure(kExitNoReader, std::string("rf_init_com failed: no reader with ids ") + ids + " opened" + hint);
    }
    open_ = true;
    showTrace();
}

int Session::tryCall(const char* function, const std::function<int()>& library_call) {
    open();
    countExchange();
    const int result = library_call();
    if (globals_.trace) {
        showTrace();
        trace_ << "-- " << function << " returned " << result << "\n";
    }
    return result;
}

void Session::call(const char* function, const std::function<int()>& library_call) {
    if (const int result = tryCall(function, library_call)) throw libraryError(function, result);
}

void Session::showTrace() {
    if (!globals_.trace) return;
    for (const std::string& line : decoder_.feed(capture_.take())) trace_ << line << "\n";
}

}  // namespace kl
