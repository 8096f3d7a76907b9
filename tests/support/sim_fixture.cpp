#include "support/sim_fixture.h"

#include <stdlib.h>

#include <filesystem>

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

void SimReaderTest::SetUp() {
    dir = std::make_unique<TempDir>();
    ::setenv("TAVOHID_VIRTUAL_DIR", dir->path().c_str(), 1);
    reader = std::make_unique<sim::Reader>(config);
    sim::ServerOptions options;
    options.dir = dir->path();
    server = std::make_unique<sim::DeviceServer>(*reader, sim::fullFirmware(), options);
    std::string why;
    ASSERT_TRUE(server->start(&why)) << why;
    ASSERT_EQ(rf_init_com(0, 0x1A86, 0xE010), 0);
}

void SimReaderTest::TearDown() {
    rf_ClosePort();
    if (server) server->stop();
    server.reset();
    reader.reset();
    dir.reset();
}

void SimReaderTest::place(const std::string& spec) {
    static const sim::CardCatalog catalog = sim::fullCatalog();
    std::string type, why;
    sim::CardOptions options;
    ASSERT_TRUE(sim::parseCardSpec(spec, &type, &options, &why)) << why;
    sim::CardPtr card = catalog.make(type, options, &why);
    ASSERT_TRUE(card) << why;
    server->withReader([&](sim::Reader& r) { r.field.place(card); });
}

std::vector<sim::Bytes> SimReaderTest::takeRequests() {
    std::vector<sim::Bytes> frames = server->requests();
    server->clearRequests();
    return frames;
}

}  // namespace kvtest
