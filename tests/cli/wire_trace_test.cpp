// kovalink --trace reads the transport's report trace back into frames.
// The trace texts are written here as the transport writes them; the frames
// are the worked examples of the frame format.
#include "core/wire_trace.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

// A 33-byte report line: id 0, count, the data, zeros to the end.
std::string report(char direction, const std::string& count_and_data, const std::string& note) {
    std::string line = std::string(1, direction) + " 00 " + count_and_data;
    const std::size_t bytes = (count_and_data.size() + 1) / 3 + 1;
    for (std::size_t i = bytes; i < 33; ++i) line += " 00";
    return line + "  # " + note + "\n";
}

TEST(CliWireTrace, ABeepAndItsReply) {
    kl::WireTraceDecoder decoder;
    const Lines lines = decoder.feed(
        "# open 1a86:e010 /tmp/t/1a86-e010-reader0.sock (virtual), reports in 33, out 33 bytes\n" +
        report('>', "FF C7 83 CC 10", "setup report") +
        report('>', "08 02 00 00 04 1D 0A 2B 03", "exchange 1 request report 1/1") +
        report('<', "09 02 00 00 10 03 1D 00 20 03", "exchange 1 reply report 1"));
    EXPECT_EQ(lines, (Lines{"-> 0000 1D rf_beep  payload[1] 0A  | 02 00 00 04 1D 0A 2B 03",
                            "<- 0000 status 00 (success)  payload[0]  | 02 00 00 10 03 1D 00 20 03"}));
}

TEST(CliWireTrace, FramesAcrossReportsAndTextEndingInsideALine) {
    kl::WireTraceDecoder decoder;
    // rf_init_type(0x0102, 'A'): the address low byte 02 escaped.
    const std::string request = report('>', "09 02 10 02 01 04 3A 41 82 03", "exchange 1 request report 1/1");
    // The reply with payload 01 02 split after its escape byte.
    const std::string first = report('<', "08 02 00 00 05 00 00 01 10", "exchange 1 reply report 1");
    const std::string second = report('<', "03 02 08 03", "exchange 1 reply report 2");
    EXPECT_EQ(decoder.feed(request.substr(0, 20)), Lines{});
    EXPECT_EQ(decoder.feed(request.substr(20) + first),
              (Lines{"-> 0102 3A rf_init_type  payload[1] 41  | 02 10 02 01 04 3A 41 82 03"}));
    EXPECT_EQ(decoder.feed(second),
              (Lines{"<- 0000 status 00 (success)  payload[2] 01 02  | 02 00 00 05 00 00 01 10 02 08 03"}));
}

TEST(CliWireTrace, ACodeSeveralFamiliesShareNamesThemAll) {
    kl::WireTraceDecoder decoder;
    // Code 0x70 with payload 26 00: checksum 00+00+05+70+26+00 = 9B.
    const Lines lines = decoder.feed(report('>', "09 02 00 00 05 70 26 00 9B 03", "exchange 4 request report 1/1"));
    EXPECT_EQ(lines,
              (Lines{"-> 0000 70 rf_request_080/ISO15693_Inventory  payload[2] 26 00  | 02 00 00 05 70 26 00 9B 03"}));
}

TEST(CliWireTrace, RejectedFramesAndTheTransportsNotesAreShown) {
    kl::WireTraceDecoder decoder;
    const Lines lines = decoder.feed(
        report('<', "09 02 00 00 10 03 1D 00 21 03", "exchange 2 reply report 1") +  // checksum one too high
        report('<', "08 02 00 00 04 1D 0A 2B 03", "exchange 3 reply report 1") +     // a request's length rule
        "# exchange 4 reply report 1: time-out after 4000 ms\n" +
        report('<', "02 02 00", "exchange 5 stale report dropped") + "# closed\n");
    EXPECT_EQ(lines, (Lines{"<- bad frame (checksum)  | 02 00 00 10 03 1D 00 21 03",
                            "<- bad frame (length byte)  | 02 00 00 04 1D 0A 2B 03",
                            "-- exchange 4 reply report 1: time-out after 4000 ms",
                            "-- exchange 5 stale report dropped: 02 00"}));
}

TEST(CliWireTrace, ACountBeyondTheReportIsNotTrusted) {
    kl::WireTraceDecoder decoder;
    // Count FF on a 12-byte report: only the 10 data bytes present are taken.
    const Lines lines = decoder.feed("< 00 FF 02 00 00 10 03 1D 00 20 03 00  # exchange 1 reply report 1\n");
    EXPECT_EQ(lines, (Lines{"<- 0000 status 00 (success)  payload[0]  | 02 00 00 10 03 1D 00 20 03"}));
}

}  // namespace
