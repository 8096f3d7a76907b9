// The reader's endpoint for hosts without Unix-domain sockets (Windows, and
// wine): TCP on 127.0.0.1, relayed to the reader's own socket.
//
// The port is chosen by the system. "<port> <token>\n" goes into
// "<vid>-<pid>-<name>.tcp" in the virtual-device folder (mode 0600 in the
// private folder), where only the user can read it; the token is 32 random
// hex digits. A host sends the token first; then every message both ways is
// one 33-byte report, exactly as on the socket. A wrong token closes the
// connection.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "server/port_file.h"

namespace sim {

class TcpEndpoint {
public:
    // Relays to the reader served at `socket_path`; writes the port file
    // beside it.
    TcpEndpoint(std::string socket_path, std::string port_file);
    ~TcpEndpoint();
    TcpEndpoint(const TcpEndpoint&) = delete;
    TcpEndpoint& operator=(const TcpEndpoint&) = delete;

    bool start(std::string* why);
    void stop();
    int port() const { return port_; }
    const std::string& portFile() const { return port_file_; }

private:
    void acceptLoop();

    std::string socket_path_;
    std::string port_file_;
    std::string token_;
    int listen_fd_ = -1;
    int port_ = 0;
    std::atomic<bool> running_{false};
    std::thread thread_;
};

}  // namespace sim
