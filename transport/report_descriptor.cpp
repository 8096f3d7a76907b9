#include "report_descriptor.h"

#include <algorithm>
#include <map>
#include <vector>

namespace tavo {
namespace {

// Short-item prefix: bits 0-1 data size (3 means 4 bytes), bits 2-3 type, bits 4-7 tag.
constexpr std::uint8_t kLongItemPrefix = 0xFE;
constexpr unsigned kTypeMain = 0;
constexpr unsigned kTypeGlobal = 1;

constexpr unsigned kMainInput = 0x8;
constexpr unsigned kMainOutput = 0x9;
constexpr unsigned kGlobalReportSize = 0x7;
constexpr unsigned kGlobalReportId = 0x8;
constexpr unsigned kGlobalReportCount = 0x9;
constexpr unsigned kGlobalPush = 0xA;
constexpr unsigned kGlobalPop = 0xB;

// Garbage must not grow the state without bound nor overflow the lengths.
constexpr std::size_t kMaxPushDepth = 16;
constexpr std::uint64_t kMaxReportBits = 65535u * 8u;

struct Globals {
    std::uint32_t report_size = 0;
    std::uint32_t report_count = 0;
    std::uint32_t report_id = 0;
};

// Bits per report id for one direction.
class Reports {
public:
    void add(const Globals& g) {
        const std::uint64_t bits = std::min<std::uint64_t>(std::uint64_t{g.report_size} * g.report_count, kMaxReportBits);
        std::uint64_t& total = bits_[g.report_id];
        total = std::min(total + bits, kMaxReportBits);
    }

    // The largest report in bytes plus the report-id byte; 0 when there is none.
    int length() const {
        std::uint64_t largest = 0;
        for (const auto& entry : bits_) largest = std::max(largest, entry.second);
        return largest == 0 ? 0 : static_cast<int>((largest + 7) / 8 + 1);
    }

private:
    std::map<std::uint32_t, std::uint64_t> bits_;
};

std::uint32_t itemValue(const std::uint8_t* data, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i) value |= std::uint32_t{data[i]} << (8 * i);
    return value;
}

void settle(int parsed, int* length, const char* direction, std::string* reason) {
    if (parsed > 0) {
        *length = parsed;
        return;
    }
    *length = kFallbackReportLength;
    if (!reason->empty()) *reason += "; ";
    *reason += std::string("no ") + direction + " report in the report descriptor";
}

}  // namespace

ReportLayout parseReportDescriptor(const std::uint8_t* descriptor, std::size_t length) {
    ReportLayout layout;
    if (descriptor == nullptr || length == 0) {
        layout.fallback_reason = "the report descriptor is empty";
        return layout;
    }
    Globals globals;
    std::vector<Globals> stack;
    Reports input;
    Reports output;

    std::size_t pos = 0;
    while (pos < length) {
        const std::uint8_t prefix = descriptor[pos];
        if (prefix == kLongItemPrefix) {
            // 0xFE, data size, long tag, data: nothing in it concerns lengths.
            if (length - pos < 3) break;
            const std::size_t item = 3 + std::size_t{descriptor[pos + 1]};
            if (length - pos < item) break;
            pos += item;
            continue;
        }
        const std::size_t size = (prefix & 0x3) == 3 ? 4 : (prefix & 0x3);
        if (length - pos - 1 < size) break;  // truncated item: the parse ends
        const std::uint32_t value = itemValue(descriptor + pos + 1, size);
        const unsigned type = (prefix >> 2) & 0x3;
        const unsigned tag = prefix >> 4;
        pos += 1 + size;

        if (type == kTypeMain) {
            if (tag == kMainInput) input.add(globals);
            if (tag == kMainOutput) output.add(globals);
        } else if (type == kTypeGlobal) {
            switch (tag) {
            case kGlobalReportSize:
                globals.report_size = value;
                break;
            case kGlobalReportCount:
                globals.report_count = value;
                break;
            case kGlobalReportId:
                globals.report_id = value;
                layout.report_ids = true;
                break;
            case kGlobalPush:
                if (stack.size() < kMaxPushDepth) stack.push_back(globals);
                break;
            case kGlobalPop:
                if (!stack.empty()) {
                    globals = stack.back();
                    stack.pop_back();
                }
                break;
            default:
                break;
            }
        }
    }

    settle(input.length(), &layout.input_length, "input", &layout.fallback_reason);
    settle(output.length(), &layout.output_length, "output", &layout.fallback_reason);
    return layout;
}

}  // namespace tavo
