// A simulated reader served on a thread of the calling process, in a
// private virtual-device folder ($TAVOHID_VIRTUAL_DIR points there), for
// tests of any framework.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "firmware/reader.h"
#include "server/device_server.h"

namespace kvtest {

// Sets (or replaces) a variable of this process's environment.
void setEnvironment(const std::string& name, const std::string& value);

// A fresh private folder, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

class SimServer {
public:
    SimServer() = default;
    virtual ~SimServer();
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    // Makes the folder, points the transport at it and starts serving a
    // reader made from `config`.
    bool start(std::string* why);
    void stop();

    // Places a card of the catalogue ("mifare1k:uid=...") on the antenna.
    bool place(const std::string& spec, std::string* why);
    // Request frames the reader received since the last call.
    std::vector<sim::Bytes> takeRequests();

    sim::ReaderConfig config;  // set before start()
    std::unique_ptr<TempDir> dir;
    std::unique_ptr<sim::Reader> reader;
    std::unique_ptr<sim::DeviceServer> server;
};

}  // namespace kvtest
