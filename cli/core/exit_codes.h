// The exit codes of kovalink, so that a script can tell apart what went
// wrong. Listed in the --help footer and the manual page.
#pragma once

namespace kl {

enum ExitCode : int {
    kExitOk = 0,
    kExitFailure = 1,         // anything else: a file could not be read or written
    kExitUsage = 2,           // bad option or argument; nothing was sent
    kExitNoReader = 3,        // no reader with the ids could be opened
    kExitTransport = 4,       // no reply, a rejected reply frame or a reply of the wrong length
    kExitReaderStatus = 5,    // the reader answered with a non-zero status
    kExitCardStatus = 6,      // the card answered with an error status word
};

// The table printed in --help.
const char* exitCodeHelp();

}  // namespace kl
