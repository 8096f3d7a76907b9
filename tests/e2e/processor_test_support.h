// Helpers of the processor-card end-to-end tests.
#pragma once

#include <string>
#include <vector>

#include "support/sim_fixture.h"
#include "cards/toolkit.h"
#include "frame_codec.h"

namespace ptest {

inline sim::Bytes h(const std::string& text) {
    sim::Bytes out;
    sim::parseHex(text, &out);
    return out;
}

// The wire bytes of the request the library should have sent.
inline sim::Bytes request(std::uint8_t code, const std::string& payload) {
    return common::encodeRequest(0, code, h(payload));
}

class ProcessorTest : public kvtest::SimReaderTest {
protected:
    // The requests since the last call, as hex lines.
    std::vector<std::string> sent() {
        std::vector<std::string> lines;
        for (const sim::Bytes& frame : takeRequests()) lines.push_back(sim::hex(frame));
        return lines;
    }
    static std::string wire(std::uint8_t code, const std::string& payload) { return sim::hex(request(code, payload)); }

    // Family and antenna as the test program sets them.
    void family(unsigned char letter) {
        ASSERT_EQ(rf_init_type(0, letter), 0);
        takeRequests();
    }

    std::string answer() const { return sim::hex(sim::Bytes(buffer, buffer + length)); }

    unsigned char buffer[256] = {};
    unsigned char length = 0;
};

}  // namespace ptest
