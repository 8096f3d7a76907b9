#include "port.h"

#include "hidraw_backend.h"
#include "virtual_device.h"

namespace tavo {

const std::uint8_t kSetupReport[kReportSize] = {0x00, 0xFF, 0xC7, 0x83, 0xCC, 0x10};

std::vector<std::unique_ptr<Backend>> defaultBackends() {
    std::vector<std::unique_ptr<Backend>> backends;
    backends.push_back(makeHidrawBackend());
    backends.push_back(makeVirtualBackend());
    return backends;
}

Port::Port(BackendFactory factory) : factory_(std::move(factory)) {}

bool Port::open(std::uint16_t vendor_id, std::uint16_t product_id) {
    std::lock_guard<std::mutex> lock(mutex_);
    device_.reset();
    open_failures_.clear();
    for (auto& backend : factory_()) {
        for (const DeviceInfo& info : backend->enumerate()) {
            if (info.vendor_id != vendor_id || info.product_id != product_id) continue;
            std::string why;
            std::unique_ptr<Device> device = backend->open(info, &why);
            if (!device) {  // busy or no permission: try the next one
                open_failures_.push_back(info.path + ": " + (why.empty() ? "cannot be opened" : why));
                continue;
            }
            device->sendSetup(kSetupReport, sizeof kSetupReport);
            device_ = std::move(device);
            unsettled_ = true;
            return true;
        }
    }
    return false;
}

void Port::close() {
    std::lock_guard<std::mutex> lock(mutex_);
    device_.reset();
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
    const ExchangeResult outcome =
        exchange(*device_, request, request_length, reply, reply_length, timeouts_, unsettled_);
    unsettled_ = outcome.unsettled;
    if (outcome.device_gone) device_.reset();
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
