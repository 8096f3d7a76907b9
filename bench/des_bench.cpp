// DES and two-key triple DES throughput of the library's own cipher against
// OpenSSL's on the same data.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/des.h>

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "KovalinkHID.h"

namespace {

constexpr int kBytes = 4096;
const unsigned char kKey16[16] = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF,
                                  0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10};

void BM_Ours(benchmark::State& state) {
    const int key_len = static_cast<int>(state.range(0));
    std::vector<unsigned char> in(kBytes, 0x5A), out(kBytes);
    for (auto _ : state) {
        des_encrypt(out.data(), in.data(), kBytes, kKey16, key_len);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
}
BENCHMARK(BM_Ours)->Arg(8)->ArgName("key_len");
BENCHMARK(BM_Ours)->Arg(16)->ArgName("key_len");

void BM_OpenSsl(benchmark::State& state) {
    const bool triple = state.range(0) == 16;
    DES_key_schedule k1, k2;
    DES_cblock half1, half2;
    std::memcpy(half1, kKey16, 8);
    std::memcpy(half2, kKey16 + 8, 8);
    DES_set_key_unchecked(&half1, &k1);
    DES_set_key_unchecked(&half2, &k2);
    std::vector<unsigned char> in(kBytes, 0x5A), out(kBytes);
    for (auto _ : state) {
        for (int i = 0; i < kBytes; i += 8) {
            auto* src = reinterpret_cast<const_DES_cblock*>(in.data() + i);
            auto* dst = reinterpret_cast<DES_cblock*>(out.data() + i);
            if (triple) DES_ecb3_encrypt(src, dst, &k1, &k2, &k1, DES_ENCRYPT);
            else DES_ecb_encrypt(src, dst, &k1, DES_ENCRYPT);
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
}
BENCHMARK(BM_OpenSsl)->Arg(8)->ArgName("key_len");
BENCHMARK(BM_OpenSsl)->Arg(16)->ArgName("key_len");

}  // namespace
