// Reply parsing: any bytes the transport may hand over, of any length up to
// the buffer, parse without reading or writing outside the frame object.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "frame.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kv::kFrameBuffer) size = kv::kFrameBuffer;
    // The input doubles as a request payload of up to 252 of its own bytes.
    const int payload = size > 0 ? static_cast<int>(std::min<std::size_t>(data[0] % 253, size)) : 0;
    kv::CTransData frame(0, 0x4B, data, payload);
    if (size > 0) std::memcpy(frame.reply(), data, size);
    *frame.replyLength() = static_cast<int>(size);
    frame.ParseReply();
    std::uint8_t out[kv::kFrameBuffer];
    frame.GetStatus();
    frame.GetReplyAddress();
    frame.CopyData(out, frame.GetDataLength());
    frame.CopyReplyBody(out);
    return 0;
}
