// Bad input for the host-side cipher helpers: refused or computed here,
// never a frame to the reader.
#include "bad_input.h"

namespace badinput {
namespace {
using Ecb = int(KV_STDCALL*)(unsigned char*, unsigned char*, int, const unsigned char*, int);

// des_encrypt and des_decrypt take the same arguments and refuse the same.
std::vector<Row> ecbRows(const char* name, Ecb f) {
    return {
        {name, local(1), [f](Io&) { return f(nullptr, nullptr, 0, nullptr, 0); }},
        {name, local(1), [f](Io& io) { return f(nullptr, io.in(8), 8, io.in(8), 8); }},
        {name, local(1), [f](Io& io) { return f(io.out(8), nullptr, 8, io.in(8), 8); }},
        {name, local(1), [f](Io& io) { return f(io.out(8), io.in(8), 8, nullptr, 8); }},
        {name, local(1), [f](Io& io) { return f(io.out(8), io.in(8), -1, io.in(8), 8); }},
        {name, local(1), [f](Io& io) { return f(io.out(8), io.in(8), INT_MIN, io.in(8), 8); }},
        {name, local(1), [f](Io& io) { return f(io.out(8), io.in(8), 8, io.in(8), -1); }},
        {name, local(0), [f](Io& io) { return f(io.out(1), io.in(1), 0, io.in(1), 0); }},
        {name, local(0), [f](Io& io) { return f(io.out(7), io.in(7), 7, io.in(1), 1); }},
        // Key bytes past the sixteenth are never read.
        {name, local(0), [f](Io& io) { return f(io.out(15), io.in(15), 15, io.in(16), INT_MAX); }},
    };
}

std::vector<Row> macRows() {
    const char* const name = "Cal_MAC";
    return {
        {name, local(1), [](Io&) { return Cal_MAC(nullptr, nullptr, 0, nullptr, 0, nullptr, 0); }},
        {name, local(1), [](Io& io) { return Cal_MAC(nullptr, io.in(8), 8, io.in(8), 8, nullptr, 0); }},
        {name, local(1), [](Io& io) { return Cal_MAC(io.out(4), nullptr, 8, io.in(8), 8, nullptr, 0); }},
        {name, local(1), [](Io& io) { return Cal_MAC(io.out(4), io.in(8), 8, nullptr, 8, nullptr, 0); }},
        {name, local(1), [](Io& io) { return Cal_MAC(io.out(4), io.in(8), 8, io.in(8), 8, nullptr, 1); }},
        {name, local(1), [](Io& io) { return Cal_MAC(io.out(4), io.in(8), -1, io.in(8), 8, nullptr, 0); }},
        {name, local(1), [](Io& io) { return Cal_MAC(io.out(4), io.in(248), 248, io.in(8), 8, nullptr, 0); }},
        {name, local(1), [](Io& io) { return Cal_MAC(io.out(4), io.in(8), INT_MAX, io.in(8), 8, nullptr, 0); }},
        {name, local(1), [](Io& io) { return Cal_MAC(io.out(4), io.in(8), 8, io.in(8), INT_MIN, nullptr, 0); }},
        {name, local(0), [](Io& io) { return Cal_MAC(io.out(4), io.in(1), 0, io.in(1), 0, nullptr, 0); }},
        // At most 8 initial-value and 16 key bytes are read.
        {name, local(0),
         [](Io& io) { return Cal_MAC(io.out(4), io.in(247), 247, io.in(16), INT_MAX, io.in(8), 255); }},
    };
}

std::vector<Row> scatterRows() {
    const char* const name = "Key_Scatter";
    return {
        {name, local(1), [](Io&) { return Key_Scatter(nullptr, nullptr, 0, nullptr, 0); }},
        {name, local(1), [](Io& io) { return Key_Scatter(nullptr, io.in(8), 8, io.in(16), 16); }},
        {name, local(1), [](Io& io) { return Key_Scatter(io.out(16), nullptr, 8, io.in(16), 16); }},
        {name, local(1), [](Io& io) { return Key_Scatter(io.out(16), io.in(8), 8, nullptr, 16); }},
        {name, local(1), [](Io& io) { return Key_Scatter(io.out(16), io.in(8), 0, io.in(16), 16); }},
        {name, local(1), [](Io& io) { return Key_Scatter(io.out(16), io.in(8), -8, io.in(16), 16); }},
        {name, local(1), [](Io& io) { return Key_Scatter(io.out(16), io.in(8), INT_MAX, io.in(16), 16); }},
        {name, local(1), [](Io& io) { return Key_Scatter(io.out(16), io.in(8), 8, io.in(16), -1); }},
        {name, local(0), [](Io& io) { return Key_Scatter(io.out(16), io.in(8), 8, io.in(1), 0); }},
        {name, local(0), [](Io& io) { return Key_Scatter(io.out(16), io.in(8), 8, io.in(16), INT_MAX); }},
    };
}
}  // namespace

std::vector<Row> cipherRows() {
    std::vector<Row> rows = ecbRows("des_encrypt", des_encrypt);
    for (auto more : {ecbRows("des_decrypt", des_decrypt), macRows(), scatterRows()}) {
        rows.insert(rows.end(), more.begin(), more.end());
    }
    return rows;
}

TEST_F(BadInput, Cipher) { run(cipherRows()); }

}  // namespace badinput
