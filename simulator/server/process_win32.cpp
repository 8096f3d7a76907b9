// readersim on Windows: Ctrl+C (or closing the console) ends the loop that
// takes console commands, which a thread reads line by line; the server
// itself is reached over TCP.
#include <windows.h>

#include <condition_variable>
#include <deque>
#include <iostream>
#include <mutex>
#include <thread>

#include "server/process_seam.h"

namespace sim {

const char* const kVirtualFolderRule = "%TAVOHID_VIRTUAL_DIR%, else\n%LOCALAPPDATA%\\tavohid.";

namespace {

std::mutex mutex;
std::condition_variable wake;
std::deque<std::string> lines;
bool stop_asked = false;

BOOL WINAPI onControl(DWORD) {
    {
        std::lock_guard<std::mutex> lock(mutex);
        stop_asked = true;
    }
    wake.notify_all();
    return TRUE;  // handled: the process ends when the loop returns
}

}  // namespace

void prepareStopSignals() { ::SetConsoleCtrlHandler(onControl, TRUE); }

void runConsoleLoop(const std::function<void(const std::string& line, bool* quit)>& command) {
    // The reader thread may still wait on standard input when the loop ends;
    // it is left to the end of the process.
    std::thread([] {
        std::string line;
        while (std::getline(std::cin, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            std::lock_guard<std::mutex> lock(mutex);
            lines.push_back(line);
            wake.notify_all();
        }
    }).detach();
    bool quit = false;
    while (!quit) {
        std::string line;
        {
            std::unique_lock<std::mutex> lock(mutex);
            wake.wait(lock, [] { return stop_asked || !lines.empty(); });
            if (stop_asked) return;
            line = std::move(lines.front());
            lines.pop_front();
        }
        command(line, &quit);
    }
}

std::unique_ptr<TcpAccess> openTcpAccess(const DeviceServer& server, const ServerOptions&, bool, std::ostream& out,
                                         std::string*) {
    out << "readersim: hosts connect over TCP on 127.0.0.1 (port and token in " << server.socketPath() << ")"
        << std::endl;
    return std::make_unique<TcpAccess>();
}

}  // namespace sim
