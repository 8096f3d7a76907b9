#include "support/sim_server.h"

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>

#include "server/families.h"

namespace kvtest {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kovalink-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

SimServer::~SimServer() { stop(); }

bool SimServer::start(std::string* why) {
    dir = std::make_unique<TempDir>();
    ::setenv("TAVOHID_VIRTUAL_DIR", dir->path().c_str(), 1);
    reader = std::make_unique<sim::Reader>(config);
    sim::ServerOptions options;
    options.dir = dir->path();
    server = std::make_unique<sim::DeviceServer>(*reader, sim::fullFirmware(), options);
    return server->start(why);
}

void SimServer::stop() {
    if (server) server->stop();
    server.reset();
    reader.reset();
    dir.reset();
}

bool SimServer::place(const std::string& spec, std::string* why) {
    static const sim::CardCatalog catalog = sim::fullCatalog();
    std::string type;
    sim::CardOptions options;
    if (!sim::parseCardSpec(spec, &type, &options, why)) return false;
    sim::CardPtr card = catalog.make(type, options, why);
    if (!card) return false;
    server->withReader([&](sim::Reader& r) { r.field.place(card); });
    return true;
}

std::vector<sim::Bytes> SimServer::takeRequests() {
    std::vector<sim::Bytes> frames = server->requests();
    server->clearRequests();
    return frames;
}

}  // namespace kvtest
