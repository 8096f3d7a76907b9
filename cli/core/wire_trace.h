// kovalink --trace: the transport writes every report it sends and receives
// to the file TAVOHID_TRACE names; this reads that text back and shows the
// frames the reports carried, request and reply, with their fields.
#pragma once

#include <string>
#include <vector>

#include "bytes.h"
#include "frame_codec.h"

namespace kl {

class WireTraceDecoder {
public:
    // Takes the next piece of trace text (it may end inside a line) and
    // returns the lines to show: one per frame, and the transport's notes
    // of time-outs, failures and dropped input.
    std::vector<std::string> feed(const std::string& text);

private:
    void line(const std::string& text, std::vector<std::string>* out);

    std::string pending_;  // an unfinished last line
    common::FrameDecoder to_reader_{common::FrameKind::request};
    common::FrameDecoder from_reader_{common::FrameKind::reply};
};

// "-> 0000 1D rf_beep  payload[1] 0A  | 02 00 00 04 1D 0A 2B 03"
std::string describeRequest(const common::DecodedFrame& frame);
// "<- 0000 status 00 (success)  payload[0]  | 02 00 00 10 03 1D 00 20 03"
std::string describeReply(const common::DecodedFrame& frame);

}  // namespace kl
