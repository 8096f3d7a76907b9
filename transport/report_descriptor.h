// Report lengths of a HID device, worked out from its report descriptor the
// way Windows reports them: the largest report in bytes plus the report-id
// byte, which is counted even when the device uses no report ids.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tavo {

// The length assumed when the descriptor gives none: our reader's 33 bytes.
constexpr int kFallbackReportLength = 33;

struct ReportLayout {
    int input_length = kFallbackReportLength;
    int output_length = kFallbackReportLength;
    bool report_ids = false;      // the device numbers its reports
    std::string fallback_reason;  // empty when both lengths came from the descriptor
};

// Parses the short items of a report descriptor (long items are skipped; a
// truncated item ends the parse). A direction without any report falls back
// to kFallbackReportLength and says so in `fallback_reason`.
ReportLayout parseReportDescriptor(const std::uint8_t* descriptor, std::size_t length);

}  // namespace tavo
