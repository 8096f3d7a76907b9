// End-to-end fixture: a simulated reader served on a thread of the test
// process, in a private virtual-device folder, opened through the real
// library and transport.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "KovalinkHID.h"
#include "server/device_server.h"
#include "firmware/reader.h"

namespace kvtest {

// A fresh private folder, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

class SimReaderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Places a card of the catalogue ("mifare1k:uid=...") on the antenna.
    void place(const std::string& spec);
    // Request frames the reader received since the last call.
    std::vector<sim::Bytes> takeRequests();

    sim::ReaderConfig config;  // set before SetUp() by subclasses if needed
    std::unique_ptr<TempDir> dir;
    std::unique_ptr<sim::Reader> reader;
    std::unique_ptr<sim::DeviceServer> server;
};

}  // namespace kvtest
