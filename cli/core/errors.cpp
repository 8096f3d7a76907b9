#include "errors.h"

#include <cstdio>

#include "failure_details.h"
#include "reader_status.h"

namespace kl {

const char* exitCodeHelp() {
    return "Exit codes:\n"
           "  0  success\n"
           "  1  other failure (a file could not be read or written)\n"
           "  2  usage error: bad option, bad hex or number, value out of range (nothing was sent)\n"
           "  3  reader not found or not opened (see 'kovalink list')\n"
           "  4  transport failure: no reply, a rejected reply frame or a reply of the wrong length\n"
           "  5  the reader answered with a non-zero status: no card, not the card type the command needs,\n"
           "     authentication failed ...\n"
           "  6  the card answered with an error status word (apdu)\n";
}

std::string describeResult(int result) {
    if (result == 1) return "local failure: no reply from the reader, a rejected reply frame or a reply of the wrong length";
    if (result < 0) return "refused by the library: a length above the command's limit";
    if (result > 255) return "unexpected result";
    if (const char* text = common::statusText(static_cast<std::uint8_t>(result))) return text;
    return "reader status not documented";
}

ExitCode exitCodeFor(int result) {
    if (result == 1) return kExitTransport;
    if (result < 0) return kExitUsage;
    return kExitReaderStatus;
}

namespace {
LibraryFailure g_last;
std::string g_last_message;
}  // namespace

LibraryFailure libraryFailureOf(const std::string& message) {
    return message == g_last_message ? g_last : LibraryFailure{};
}

Failure libraryError(const std::string& function, int result) {
    char status[32];
    if (result < 0) std::snprintf(status, sizeof status, "result %d", result);
    else std::snprintf(status, sizeof status, "status 0x%02X", static_cast<unsigned>(result));
    Failure failure(exitCodeFor(result), function + " failed: " + status + " (" + describeResult(result) + ")");
    g_last = {function, result};
    g_last_message = failure.what();
    return failure;
}

}  // namespace kl
