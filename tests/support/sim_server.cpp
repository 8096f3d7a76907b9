#include "support/sim_server.h"

#include <stdlib.h>

#include <filesystem>
#include <random>
#include <stdexcept>

#include "server/families.h"

namespace kvtest {

#ifdef _WIN32
void setEnvironment(const std::string& name, const std::string& value) {
    ::_putenv_s(name.c_str(), value.c_str());
}

// A folder under the user's temporary folder, which only the user may read.
TempDir::TempDir() {
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const std::filesystem::path candidate =
            std::filesystem::temp_directory_path() / ("kovalink-test-" + std::to_string(random()));
        std::error_code error;
        if (std::filesystem::create_directory(candidate, error)) path_ = candidate.string();
    }
    if (path_.empty()) throw std::runtime_error("no temporary folder could be made");
}
#else
void setEnvironment(const std::string& name, const std::string& value) {
    ::setenv(name.c_str(), value.c_str(), 1);
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kovalink-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}
#endif

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

SimServer::~SimServer() { stop(); }

bool SimServer::start(std::string* why) {
    dir = std::make_unique<TempDir>();
    setEnvironment("TAVOHID_VIRTUAL_DIR", dir->path());
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
