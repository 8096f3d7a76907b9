// The wire trace: what it writes for each report, that it is asked for once
// per open, and that a trace file that fails never disturbs an exchange.
#include "wire_trace.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "port.h"
#include "scripted_device.h"

namespace {

namespace fs = std::filesystem;
using tavotest::Bytes;
using tavotest::FakeBackend;
using tavotest::FakeEntry;
using tavotest::report;
using tavotest::Script;

constexpr std::uint16_t kVid = 0x1A86;
constexpr std::uint16_t kPid = 0xE010;

// rf_beep(0, 10) and the reader's reply without payload (its length 03 escaped).
const Bytes kBeep = {0x02, 0x00, 0x00, 0x04, 0x1D, 0x0A, 0x2B, 0x03};
const Bytes kBeepReply = {0x02, 0x00, 0x00, 0x10, 0x03, 0x1D, 0x00, 0x20, 0x03};

class StringSink final : public tavo::TraceSink {
public:
    explicit StringSink(std::string* out) : out_(out) {}
    void write(const char* text, std::size_t length) noexcept override { out_->append(text, length); }

private:
    std::string* out_;
};

class WireTraceTest : public ::testing::Test {
protected:
    std::string trace;
    int opened_sinks = 0;
    std::shared_ptr<Script> device = std::make_shared<Script>();
    tavo::Port port{[this] {
                        FakeEntry entry = tavotest::fakeEntry("/dev/hidraw3", kVid, kPid, device);
                        entry.info.backend = "hidraw";
                        std::vector<std::unique_ptr<tavo::Backend>> backends;
                        backends.push_back(std::make_unique<FakeBackend>(std::vector<FakeEntry>{entry}));
                        return backends;
                    },
                    [this] {
                        ++opened_sinks;
                        return std::make_unique<StringSink>(&trace);
                    }};

    void SetUp() override { port.setTimeouts({20, 30}); }

    int communicate(const Bytes& request) {
        std::uint8_t reply[tavo::kFrameBuffer];
        int length = 0;
        return port.communicate(request.data(), request.size(), reply, &length);
    }
};

TEST_F(WireTraceTest, EveryReportIsWrittenAsHexWithItsExchangeAndNumber) {
    device->answer = {report(kBeepReply)};
    ASSERT_TRUE(port.open(kVid, kPid));
    EXPECT_EQ(communicate(kBeep), 0);
    port.close();
    EXPECT_EQ(trace,
              "# open 1a86:e010 /dev/hidraw3 (hidraw), reports in 33, out 33 bytes\n"
              "> 00 FF C7 83 CC 10 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
              "  # setup report\n"
              "> 00 08 02 00 00 04 1D 0A 2B 03 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
              "  # exchange 1 request report 1/1\n"
              "< 00 09 02 00 00 10 03 1D 00 20 03 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
              "  # exchange 1 reply report 1\n"
              "# closed\n");
}

TEST_F(WireTraceTest, LongRequestsTimeOutsAndStaleInputAreNoted) {
    ASSERT_TRUE(port.open(kVid, kPid));
    trace.clear();
    EXPECT_EQ(communicate(tavotest::sequence(40)), 1);  // no answer: the read times out
    EXPECT_NE(trace.find("  # exchange 1 request report 1/2\n"), std::string::npos) << trace;
    EXPECT_NE(trace.find("> 00 09 5F 60 61 62 63 64 65 66 67 00"), std::string::npos) << trace;
    EXPECT_NE(trace.find("  # exchange 1 request report 2/2\n# exchange 1 reply report 1: time-out after 30 ms\n"),
              std::string::npos)
        << trace;

    // The late reply is still waiting when the next exchange begins.
    device->input.push_back(report({0x02, 0x00}));
    device->input.push_back(report(kBeepReply));
    trace.clear();
    EXPECT_EQ(communicate(kBeep), 1);
    EXPECT_EQ(trace.find("< 00 02 02 00 00"), 0u) << trace;
    EXPECT_NE(trace.find("  # exchange 2 stale report dropped\n< 00 09"), std::string::npos) << trace;
}

TEST_F(WireTraceTest, WhereTheTraceGoesIsAskedOncePerOpen) {
    device->answer = {report(kBeepReply)};
    ASSERT_TRUE(port.open(kVid, kPid));
    for (int i = 0; i < 3; ++i) communicate(kBeep);
    EXPECT_EQ(opened_sinks, 1);
    ASSERT_TRUE(port.open(kVid, kPid));
    EXPECT_EQ(opened_sinks, 2);
}

// TAVOHID_TRACE set for one test, restored after it.
class TraceVariable : public ::testing::Test {
protected:
    fs::path dir;

    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "wire-trace-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir = tmpl;
        if (const char* old = std::getenv("TAVOHID_TRACE")) saved_ = old;
    }
    void TearDown() override {
        if (saved_) ::setenv("TAVOHID_TRACE", saved_->c_str(), 1);
        else ::unsetenv("TAVOHID_TRACE");
        fs::remove_all(dir);
    }
    static void set(const std::string& value) { ::setenv("TAVOHID_TRACE", value.c_str(), 1); }
    static std::string read(const fs::path& file) {
        std::ostringstream text;
        text << std::ifstream(file).rdbuf();
        return text.str();
    }

private:
    std::optional<std::string> saved_;
};

TEST_F(TraceVariable, UnsetOrEmptyMeansNoTrace) {
    ::unsetenv("TAVOHID_TRACE");
    EXPECT_EQ(tavo::traceSinkFromEnvironment(), nullptr);
    set("");
    EXPECT_EQ(tavo::traceSinkFromEnvironment(), nullptr);
    set((dir / "missing-folder" / "trace.txt").string());
    EXPECT_EQ(tavo::traceSinkFromEnvironment(), nullptr);
    set("-");
    EXPECT_NE(tavo::traceSinkFromEnvironment(), nullptr);
}

TEST_F(TraceVariable, AFileIsAppendedToAndReadableByTheUserOnly) {
    const fs::path file = dir / "trace.txt";
    set(file.string());
    tavo::traceSinkFromEnvironment()->write("first\n", 6);
    tavo::traceSinkFromEnvironment()->write("second\n", 7);
    EXPECT_EQ(read(file), "first\nsecond\n");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(TraceVariable, AFifoWithoutReaderIsRefusedAtOnce) {
    const fs::path fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    set(fifo.string());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(tavo::traceSinkFromEnvironment(), nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

// A reader that goes away mid-session leaves writes failing with EPIPE; the
// exchanges go on, and the process is not ended by SIGPIPE.
TEST_F(TraceVariable, ATraceThatCannotBeWrittenLeavesTheExchangeAlone) {
    const fs::path fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    set(fifo.string());

    auto device = std::make_shared<Script>();
    device->answer = {report(kBeepReply)};
    tavo::Port port{[device] {
        std::vector<std::unique_ptr<tavo::Backend>> backends;
        backends.push_back(std::make_unique<FakeBackend>(
            std::vector<FakeEntry>{tavotest::fakeEntry("/dev/hidraw0", kVid, kPid, device)}));
        return backends;
    }};
    port.setTimeouts({20, 30});
    ASSERT_TRUE(port.open(kVid, kPid));
    ::close(reader);

    std::uint8_t reply[tavo::kFrameBuffer];
    int length = 0;
    EXPECT_EQ(port.communicate(kBeep.data(), kBeep.size(), reply, &length), 0);
    EXPECT_EQ(Bytes(reply, reply + length), kBeepReply);
}

}  // namespace
