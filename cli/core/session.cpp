#include "session.h"

#include <cstdio>
#include <ostream>

#include "KovalinkHID.h"
#include "errors.h"
#include "exchange_count.h"
#include "reader_list.h"

namespace kl {

Session::Session(const Globals& globals, std::ostream& trace) : globals_(globals), trace_(trace) {}

Session::~Session() {
    if (open_) rf_ClosePort();
}

void Session::open() {
    if (open_) return;
    // The transport reads TAVOHID_TRACE when it opens the reader.
    if (globals_.trace) {
        if (const std::string why = capture_.start(); !why.empty()) {
            throw Failure(kExitFailure, "--trace: cannot create the trace file " + why);
        }
    }
    const int opened = rf_init_com(0, static_cast<int>(globals_.vendor_id), static_cast<int>(globals_.product_id));
    capture_.unlink();
    if (opened != 0) {
        char ids[64];
        std::snprintf(ids, sizeof ids, "%04X:%04X", globals_.vendor_id, globals_.product_id);
        // Say why, as far as the list of readers tells.
        std::string hint = "; start readersim or attach the reader ('kovalink list' shows what is present)";
        const tavo::ReaderList list = tavo::listReaders();
        // A folder passed over hides every reader in it: that comes first.
        if (!list.virtual_dir_ignored.empty()) {
            hint = "; the virtual-device folder is passed over: " + list.virtual_dir_ignored;
        }
        for (const tavo::ReaderCandidate& d : list.candidates) {
            if (d.ids_known && d.vendor_id == globals_.vendor_id && d.product_id == globals_.product_id) {
                hint = d.passed_over.empty() ? "; " + d.path + " is present but did not open"
                                             : "; " + d.path + ": " + d.passed_over + " (a udev rule must grant it)";
                break;
            }
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
