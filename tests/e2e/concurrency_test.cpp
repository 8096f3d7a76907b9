// Callers on several threads share the one reader: exchanges are serialised
// in the transport, so no thread ever gets another thread's reply.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "support/sim_fixture.h"

namespace {

class Concurrency : public kvtest::SimReaderTest {};

TEST_F(Concurrency, EightThreadsOfAThousandCommandsNeverMixReplies) {
    constexpr int kThreads = 8;
    constexpr int kCommands = 1000;
    // Each thread owns a 16-byte stretch of flash with its own pattern.
    for (int t = 0; t < kThreads; ++t) {
        unsigned char pattern[16];
        std::memset(pattern, 0xA0 + t, sizeof pattern);
        ASSERT_EQ(rf_flash_write(0, 0, static_cast<unsigned short>(t * 16), 16, pattern), 0);
    }
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &failures] {
            for (int i = 0; i < kCommands; ++i) {
                // Alternate reply shapes, so a mixed-up reply cannot pass.
                if (i % 2 == 0) {
                    unsigned char data[16] = {};
                    const int length = 4 + (t + i) % 12;
                    if (rf_flash_read(0, 0, static_cast<unsigned short>(t * 16), static_cast<unsigned char>(length),
                                      data) != 0) {
                        ++failures;
                        continue;
                    }
                    for (int k = 0; k < length; ++k) {
                        if (data[k] != 0xA0 + t) {
                            ++failures;
                            break;
                        }
                    }
                } else {
                    unsigned char model[2] = {};
                    if (rf_get_model(0, model) != 0 || model[0] != 0x4B || model[1] != 0x36) ++failures;
                }
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(failures.load(), 0);
    // One frame per command: nothing was retried or sent twice.
    EXPECT_EQ(server->requestCount(), static_cast<std::size_t>(kThreads + kThreads * kCommands));
}

}  // namespace
