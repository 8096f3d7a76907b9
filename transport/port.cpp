#include "port.h"

#include <algorithm>
#include <cstdlib>

namespace tavo {

const std::uint8_t kSetupReport[kReportSize] = {0x00, 0xFF, 0xC7, 0x83, 0xCC, 0x10};

Port::Port(BackendFactory factory, TraceOpener trace)
    : factory_(std::move(factory)), trace_opener_(std::move(trace)) {}

void Port::drop() {
    device_.reset();
    trace_ = nullptr;
}

bool Port::open(std::uint16_t vendor_id, std::uint16_t product_id) {
    std::lock_guard<std::mutex> lock(mutex_);
    drop();
    open_failures_.clear();
    // TAVOHID_DEVICE names one device (its path) among several with the ids.
    const char* wanted = std::getenv("TAVOHID_DEVICE");
    const std::string only = wanted != nullptr ? wanted : "";
    for (auto& backend : factory_()) {
        for (const DeviceInfo& info : backend->enumerate()) {
            if (info.vendor_id != vendor_id || info.product_id != product_id) continue;
            if (!only.empty() && info.path != only) continue;
            std::string why;
            std::unique_ptr<Device> device = backend->open(info, &why);
            if (!device) {  // busy or no permission: try the next one
                open_failures_.push_back(info.path + ": " + (why.empty() ? "cannot be opened" : why));
                continue;
            }
            if (std::unique_ptr<TraceSink> sink = trace_opener_ ? trace_opener_() : nullptr) {
                auto traced = std::make_unique<TracingDevice>(std::move(device), std::move(sink), info);
                trace_ = traced.get();
                device = std::move(traced);
            }
            device->sendSetup(kSetupReport, sizeof kSetupReport);
            device_ = std::move(device);
            settle_left_ = 0;
            return true;
        }
    }
    return false;
}

void Port::close() {
    std::lock_guard<std::mutex> lock(mutex_);
    drop();
}

std::vector<std::string> Port::openFailures() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return open_failures_;
}

bool Port::isOpen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return device_ != nullptr;
}

int Port::communicate(const std::uint8_t* request, std::size_t request_length, std::uint8_t* reply,
                      int* reply_length) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!device_) return 1;
    if (trace_) trace_->beginExchange(request_length);
    const ExchangeResult outcome =
        exchange(*device_, request, request_length, reply, reply_length, timeouts_, settle_left_ > 0);
    settle_left_ = outcome.unsettled ? 2 : std::max(settle_left_ - 1, 0);
    if (outcome.device_gone) drop();
    return outcome.result;
}

void Port::setTimeouts(const Timeouts& timeouts) {
    std::lock_guard<std::mutex> lock(mutex_);
    timeouts_ = timeouts;
}

Port& processPort() {
    static Port port;
    return port;
}

}  // namespace tavo
