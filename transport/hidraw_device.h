// One open hidraw node. It works on any descriptor that passes whole reports
// per read and write (a socket pair stands in for the node in tests).
#pragma once

#include "device.h"
#include "report_descriptor.h"

namespace tavo {

class HidrawDevice final : public Device {
public:
    // Takes ownership of `fd`, which should be non-blocking.
    HidrawDevice(int fd, ReportLayout layout);
    ~HidrawDevice() override;
    HidrawDevice(const HidrawDevice&) = delete;
    HidrawDevice& operator=(const HidrawDevice&) = delete;

    // The report goes out as given: byte 0 is the report id, which hidraw
    // expects even from a device without ids (it sends the rest then).
    IoStatus write(const std::uint8_t* report, std::size_t length, int timeout_ms) override;

    // hidraw leaves the id byte out for a device without report ids; a 0 is
    // put in front so the caller always sees the id byte first.
    IoStatus read(std::uint8_t* buffer, std::size_t capacity, std::size_t* length, int timeout_ms) override;

    // HIDIOCSOUTPUT; the result is of no interest.
    void sendSetup(const std::uint8_t* report, std::size_t length) override;

    int inputReportLength() const override { return layout_.input_length; }
    int outputReportLength() const override { return layout_.output_length; }

    // The lengths in use, whether the device numbers its reports, and why
    // the lengths were assumed when the descriptor gave none.
    const ReportLayout& layout() const { return layout_; }

private:
    int fd_;
    ReportLayout layout_;
};

}  // namespace tavo
