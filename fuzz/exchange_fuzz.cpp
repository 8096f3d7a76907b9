// The transport's report assembly and frame-complete scan against a device
// that answers with whatever reports the input describes: each report is a
// length byte (0 means a time-out) followed by that many bytes.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "exchange.h"

namespace {

class ScriptedDevice final : public tavo::Device {
public:
    ScriptedDevice(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    tavo::IoStatus write(const std::uint8_t*, std::size_t, int) override { return tavo::IoStatus::ok; }

    tavo::IoStatus read(std::uint8_t* buffer, std::size_t capacity, std::size_t* length, int timeout_ms) override {
        *length = 0;
        if (timeout_ms == 0 && !started_) return tavo::IoStatus::timeout;  // nothing stale
        started_ = true;
        if (pos_ >= size_) return tavo::IoStatus::timeout;
        const std::size_t n = std::min<std::size_t>({data_[pos_++], size_ - pos_, capacity});
        if (n == 0) return pos_ < size_ && data_[pos_ - 1] == 0 ? tavo::IoStatus::timeout : tavo::IoStatus::gone;
        std::memcpy(buffer, data_ + pos_, n);
        pos_ += n;
        *length = n;
        return tavo::IoStatus::ok;
    }

    void sendSetup(const std::uint8_t*, std::size_t) override {}
    int inputReportLength() const override { return 33; }
    int outputReportLength() const override { return 33; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    bool started_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ScriptedDevice device(data, size);
    const std::uint8_t request[] = {0x02, 0x00, 0x00, 0x04, 0x1D, 0x0A, 0x2B, 0x03};
    std::uint8_t reply[tavo::kFrameBuffer];
    int reply_length = -1;
    tavo::exchange(device, request, sizeof request, reply, &reply_length, tavo::Timeouts{1, 1});
    tavo::frameComplete(data, size);
    return 0;
}
