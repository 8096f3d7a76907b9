// The hidraw report-descriptor parser on any bytes a device may present.
#include <cstdint>

#include "report_descriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const tavo::ReportLayout layout = tavo::parseReportDescriptor(data, size);
    (void)layout;
    return 0;
}
