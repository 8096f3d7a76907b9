// readersim on Linux: signals taken through a signalfd by the loop that
// polls standard input, and the TCP relay for wine and Windows hosts.
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include "server/process_seam.h"
#include "server/tcp_endpoint.h"

namespace sim {

const char* const kVirtualFolderRule = "$TAVOHID_VIRTUAL_DIR, else\n$XDG_RUNTIME_DIR/tavohid, else /tmp/tavohid-<uid>.";

namespace {

int signal_fd = -1;

class TcpRelay : public TcpAccess {
public:
    TcpRelay(const std::string& socket_path, const std::string& port_file) : endpoint(socket_path, port_file) {}
    ~TcpRelay() override { endpoint.stop(); }
    TcpEndpoint endpoint;
};

}  // namespace

void prepareStopSignals() {
    // Blocked in every thread, and taken synchronously by the loop.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    signal_fd = signalfd(-1, &signals, SFD_CLOEXEC);
}

void runConsoleLoop(const std::function<void(const std::string& line, bool* quit)>& command) {
    bool quit = false;
    bool stdin_open = true;
    std::string pending;
    while (!quit) {
        // A closed pipe keeps reporting POLLHUP whatever events are asked for,
        // so standard input leaves the poll set once it has ended.
        pollfd fds[2] = {{signal_fd, POLLIN, 0}, {stdin_open ? STDIN_FILENO : -1, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) continue;
        if (fds[0].revents) break;
        if (fds[1].revents) {
            char buffer[512];
            const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (n <= 0) {
                stdin_open = false;  // no more commands; keep serving until a signal
                continue;
            }
            pending.append(buffer, static_cast<std::size_t>(n));
            for (std::size_t eol; !quit && (eol = pending.find('\n')) != std::string::npos;) {
                command(pending.substr(0, eol), &quit);
                pending.erase(0, eol + 1);
            }
        }
    }
}

std::unique_ptr<TcpAccess> openTcpAccess(const DeviceServer& server, const ServerOptions& options, bool asked,
                                         std::ostream& out, std::string* why) {
    if (!asked) return std::make_unique<TcpAccess>();
    auto relay = std::make_unique<TcpRelay>(
        server.socketPath(), options.dir + "/" + tcpPortFileName(options.vendor_id, options.product_id, options.name));
    if (!relay->endpoint.start(why)) return nullptr;
    out << "readersim: serving 127.0.0.1:" << relay->endpoint.port() << " (token in " << relay->endpoint.portFile()
        << ")" << std::endl;
    return relay;
}

}  // namespace sim
