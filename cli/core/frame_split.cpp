#include "frame_split.h"

namespace kl {
namespace {
constexpr std::uint8_t kStx = 0x02, kEtx = 0x03, kDle = 0x10;
}  // namespace

std::vector<Frame> FrameSplitter::feed(const std::uint8_t* data, std::size_t length) {
    std::vector<Frame> frames;
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint8_t b = data[i];
        if (escape_) {
            escape_ = false;
            if (in_frame_) {
                current_.wire.push_back(b);
                current_.body.push_back(b);
            }
            continue;
        }
        if (b == kStx) {
            in_frame_ = true;
            current_ = Frame{{kStx}, {}};
            continue;
        }
        if (in_frame_) current_.wire.push_back(b);
        if (b == kDle) {
            escape_ = true;
        } else if (b == kEtx && in_frame_) {
            frames.push_back(std::move(current_));
            current_ = Frame{};
            in_frame_ = false;
        } else if (in_frame_) {
            current_.body.push_back(b);
        }
    }
    return frames;
}

}  // namespace kl
