// The bad-input table: how its rows are run, and that it names every export
// of the library, so that a new export cannot be left out.
#include "bad_input.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#if __has_include(<sanitizer/asan_interface.h>)
#include <sanitizer/asan_interface.h>
#else  // a toolchain without sanitizers (mingw): the guard bytes are still checked
#define ASAN_POISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#endif

namespace badinput {

namespace {
constexpr std::size_t kGuard = 16;
constexpr unsigned char kGuardByte = 0xA5;
}  // namespace

unsigned char* Io::block(std::size_t size, unsigned char fill, bool output) {
    blocks_.push_back(Block{std::make_unique<unsigned char[]>(size + kGuard), size});
    unsigned char* bytes = blocks_.back().bytes.get();
    std::fill_n(bytes, size, fill);
    std::fill_n(bytes + size, kGuard, kGuardByte);
    ASAN_POISON_MEMORY_REGION(bytes + size, kGuard);
    if (output && size > largest_output_) largest_output_ = size;
    return bytes;
}

void Io::checkGuards() {
    for (const Block& block : blocks_) {
        unsigned char* guard = block.bytes.get() + block.size;
        ASAN_UNPOISON_MEMORY_REGION(guard, kGuard);
        EXPECT_TRUE(std::all_of(guard, guard + kGuard, [](unsigned char b) { return b == kGuardByte; }))
            << "written past a buffer of " << block.size << " bytes";
        ASAN_POISON_MEMORY_REGION(guard, kGuard);
    }
}

Io::~Io() {
    for (const Block& block : blocks_) ASAN_UNPOISON_MEMORY_REGION(block.bytes.get() + block.size, kGuard);
}

void Io::checkLengths() const {
    for (const auto& length : byte_lengths_) EXPECT_LE(*length, largest_output_) << "length beyond the buffer";
    for (const auto& length : int_lengths_) {
        EXPECT_GE(*length, 0);
        EXPECT_LE(static_cast<std::size_t>(*length), largest_output_) << "length beyond the buffer";
    }
}

namespace {
// Leaves a last status that no refused call could produce by accident (not
// 0 and not 1): the answer to a command code the reader does not know.
constexpr unsigned char kUnknownCode = 0xFF;

void primeLastStatus() {
    unsigned char body[258];
    ASSERT_EQ(door_acess(kAddr, kUnknownCode, 0, nullptr, body), 0);
    ASSERT_EQ(rf_GetErrorMessage(), kPrimedStatus);
}
}  // namespace

void BadInput::run(const std::vector<Row>& rows) {
    std::map<std::string, int> seen;
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.name) + " row " + std::to_string(++seen[row.name]));
        if (row.expect.kind != Expect::sent) primeLastStatus();
        takeRequests();
        const int before = rf_GetErrorMessage();
        Io io;
        const int result = row.call(io);
        const std::vector<sim::Bytes> frames = takeRequests();
        io.checkGuards();
        if (row.expect.kind == Expect::sent) {
            EXPECT_FALSE(frames.empty()) << "nothing was sent";
            EXPECT_GE(result, row.expect.least);
            EXPECT_LE(result, 255);
            if (result >= 2) {
                EXPECT_EQ(result, rf_GetErrorMessage()) << "a reader status that is not the last";
            }
            if (result == 0) io.checkLengths();
        } else {
            EXPECT_EQ(result, row.expect.result);
            EXPECT_TRUE(frames.empty()) << frames.size() << " frame(s) sent";
            EXPECT_EQ(rf_GetErrorMessage(), before) << "last status changed";
        }
    }
}

namespace {

std::set<std::string> listedExports() {
    std::ifstream in(std::string(KOVALINK_SOURCE_DIR) + "/reader/exports.txt");
    EXPECT_TRUE(in.good());
    std::set<std::string> names;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        int ordinal = 0;
        std::string name;
        fields >> ordinal >> name;
        names.insert(name);
    }
    return names;
}

TEST(BadInputTable, CoversExactlyTheListedExports) {
    std::set<std::string> covered;
    for (const auto& family : {readerControlRows(), mifareRows(), iso14443_4Rows(), cpuCardRows(), iso15693Rows(),
                               ultralightRows(), tagRows(), cipherRows()}) {
        for (const Row& row : family) covered.insert(row.name);
    }
    const std::set<std::string> listed = listedExports();
    EXPECT_EQ(listed.size(), 164u);
    for (const std::string& name : listed) EXPECT_TRUE(covered.count(name)) << name << " has no bad-input row";
    for (const std::string& name : covered) EXPECT_TRUE(listed.count(name)) << name << " is not an export";
}

}  // namespace
}  // namespace badinput
