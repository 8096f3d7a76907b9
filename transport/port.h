// The process-wide reader: discovery over the backends, the open device and
// one exchange at a time.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "backends.h"
#include "device.h"
#include "exchange.h"
#include "wire_trace.h"

namespace tavo {

// The setup report sent once when a device is opened.
extern const std::uint8_t kSetupReport[kReportSize];

class Port {
public:
    using BackendFactory = std::function<std::vector<std::unique_ptr<Backend>>()>;
    using TraceOpener = std::function<std::unique_ptr<TraceSink>()>;

    // `trace` is asked once per open() where the reports of that device go;
    // null: nowhere.
    explicit Port(BackendFactory factory = defaultBackends, TraceOpener trace = traceSinkFromEnvironment);

    // Closes any open device, then opens the first device with the ids that
    // can be opened. True when one was opened.
    bool open(std::uint16_t vendor_id, std::uint16_t product_id);
    void close();
    bool isOpen() const;

    // Why the matching devices passed over by the last open() could not be
    // opened ("/dev/hidraw3: Permission denied"), in search order.
    std::vector<std::string> openFailures() const;

    // One exchange; 1 at once when no device is open. A device that went
    // away is closed, so later calls fail at once until it is opened again.
    int communicate(const std::uint8_t* request, std::size_t request_length, std::uint8_t* reply,
                    int* reply_length);

    void setTimeouts(const Timeouts& timeouts);

private:
    void drop();  // closes the device; the caller holds the lock

    BackendFactory factory_;
    TraceOpener trace_opener_;
    mutable std::mutex mutex_;  // one exchange at a time; open/close wait for it
    std::unique_ptr<Device> device_;
    TracingDevice* trace_ = nullptr;  // device_ itself when it is traced
    std::vector<std::string> open_failures_;
    Timeouts timeouts_;
    // Exchanges still to wait for a straggler: the one after a time-out, and
    // the one after that, in case the first was handed the straggler and its
    // own reply is still on the way.
    int settle_left_ = 0;
};

// The one port of this process, used by the exports.
Port& processPort();

}  // namespace tavo
