// Bad input for every export: each family lists rows of calls with null
// pointers, empty and over-long lengths and out-of-range bytes, and says
// what the library must do with each. The rows run against the simulated
// reader with exact-size heap buffers, so the sanitizers see any byte
// touched past the size a header documents.
#pragma once

#include <climits>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/sim_fixture.h"

namespace badinput {

struct Expect {
    enum Kind {
        refused,  // the result below, nothing sent, last status unchanged
        local,    // computed here: the result below, nothing sent, last status unchanged
        sent,     // frames went out; any result from `least` to 255, 2-255 being the last status
    };
    Kind kind;
    int result;
    int least;
};

const Expect kRefused{Expect::refused, 1, 0};
const Expect kTooLong{Expect::refused, -2, 0};
const Expect kSent{Expect::sent, 0, 0};
// The card search also reports its failing step as -1 to -6.
const Expect kSearch{Expect::sent, 0, -6};
inline Expect local(int result) { return Expect{Expect::local, result, 0}; }

// The buffers of one call. Every buffer is its own heap block of the size
// asked for, followed by guard bytes (poisoned under AddressSanitizer):
// checkGuards() fails a row that wrote past a buffer. Length outputs start
// at zero; after a successful call none may exceed the largest output.
class Io {
public:
    Io() = default;
    Io(const Io&) = delete;
    Io& operator=(const Io&) = delete;
    ~Io();

    unsigned char* out(std::size_t size) { return block(size, 0x00, true); }
    unsigned char* in(std::size_t size, unsigned char fill = 0xFF) { return block(size, fill, false); }
    unsigned char* len() { return &*byte_lengths_.emplace_back(std::make_unique<unsigned char>(0)); }
    int* ilen() { return &*int_lengths_.emplace_back(std::make_unique<int>(0)); }

    void checkGuards();
    void checkLengths() const;

private:
    struct Block {
        std::unique_ptr<unsigned char[]> bytes;
        std::size_t size;
    };
    unsigned char* block(std::size_t size, unsigned char fill, bool output);

    std::vector<Block> blocks_;
    std::size_t largest_output_ = 0;
    std::vector<std::unique_ptr<unsigned char>> byte_lengths_;
    std::vector<std::unique_ptr<int>> int_lengths_;
};

struct Row {
    const char* name;  // the export the row calls
    Expect expect;
    std::function<int(Io&)> call;
};

// Address arguments: the simulated reader's, and one whose low 16 bits
// (all that travels) are the same.
constexpr int kAddr = 0;
constexpr int kWideAddr = INT_MIN;
// The largest variable reply.
constexpr std::size_t kVar = 252;
// The last status before every row that must not send: the reader's answer
// to a command code it does not know.
constexpr int kPrimedStatus = 0x03;

// The rows of each family.
std::vector<Row> readerControlRows();
std::vector<Row> mifareRows();
std::vector<Row> iso14443_4Rows();
std::vector<Row> cpuCardRows();
std::vector<Row> iso15693Rows();
std::vector<Row> ultralightRows();
std::vector<Row> tagRows();
std::vector<Row> cipherRows();

class BadInput : public kvtest::SimReaderTest {
protected:
    // Runs the rows in order on this reader and checks each one's rule.
    void run(const std::vector<Row>& rows);
};

}  // namespace badinput
