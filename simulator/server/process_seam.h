// What readersim needs from its platform beside the device server: stopping
// on a signal (Ctrl+C), reading console commands, and what --tcp adds.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "server/device_server.h"

namespace sim {

// Where hosts look for virtual readers, for the help text.
extern const char* const kVirtualFolderRule;

// Call before any thread starts: stop signals (SIGINT, SIGTERM, SIGHUP;
// Ctrl+C and closing the console on Windows) then only end the console loop.
void prepareStopSignals();

// Hands each line of standard input to `command` until it sets its flag or
// a stop signal arrives. Once standard input ends, waits for the signal.
void runConsoleLoop(const std::function<void(const std::string& line, bool* quit)>& command);

// Kept while serving: what --tcp opened.
class TcpAccess {
public:
    virtual ~TcpAccess() = default;
};

// --tcp: on Linux a relay from 127.0.0.1 to the reader's socket, its port
// and token in the folder's port file; on Windows the server is reached over
// TCP already, and nothing more is opened. Says where hosts connect on
// `out`; null with the reason in `why` when the relay cannot start.
std::unique_ptr<TcpAccess> openTcpAccess(const DeviceServer& server, const ServerOptions& options, bool asked,
                                         std::ostream& out, std::string* why);

}  // namespace sim
