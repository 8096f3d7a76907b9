#include "server/device_server.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace sim {
namespace {

constexpr std::uint8_t kSetup[6] = {0x00, 0xFF, 0xC7, 0x83, 0xCC, 0x10};
constexpr std::size_t kReportSize = 33;
constexpr std::uint16_t kForeignAddress = 0xBEEF;
// Reports waiting for a host that does not read (about 33 KB); past this the
// host is disconnected so that it cannot hold the server up.
constexpr std::size_t kMaxQueuedReports = 1024;
// Junk before the STX; it ends on an escaped pair so it cannot swallow the STX.
const Bytes kGarbage = {0xFF, 0x55, 0x03, 0x10, 0x10, 0xAA};

bool isSetupReport(const std::uint8_t* m, std::size_t n) {
    if (n != kReportSize || std::memcmp(m, kSetup, sizeof kSetup) != 0) return false;
    for (std::size_t i = sizeof kSetup; i < n; ++i) {
        if (m[i] != 0) return false;
    }
    return true;
}

}  // namespace

DeviceServer::DeviceServer(Reader& reader, Firmware firmware, ServerOptions options)
    : reader_(reader), options_(std::move(options)), firmware_(std::move(firmware)) {}

DeviceServer::~DeviceServer() { stop(); }

bool DeviceServer::start(std::string* why) {
    if (!openEndpoint(why)) return false;
    running_ = true;
    thread_ = std::thread([this] { run(); });
    return true;
}

void DeviceServer::stop() {
    {
        std::lock_guard<std::mutex> lock(pause_mutex_);
        if (!running_.exchange(false)) return;
    }
    pause_cv_.notify_all();
    wakeUp();
    thread_.join();
    for (Connection& c : connections_) closeConnection(c);
    connections_.clear();
    closeEndpoint();
}

void DeviceServer::inject(const Fault& fault) {
    std::lock_guard<std::mutex> lock(state_mutex_);
    faults_.push_back(fault);
}

void DeviceServer::unplug() {
    unplug_requested_ = true;
    wakeUp();
}

void DeviceServer::setTrace(TraceSink sink) {
    std::lock_guard<std::mutex> lock(state_mutex_);
    trace_ = std::move(sink);
}

std::vector<Bytes> DeviceServer::requests() const {
    std::lock_guard<std::mutex> lock(state_mutex_);
    return std::vector<Bytes>(requests_.begin(), requests_.end());
}

std::size_t DeviceServer::requestCount() const {
    std::lock_guard<std::mutex> lock(state_mutex_);
    return request_count_;
}

void DeviceServer::clearRequests() {
    std::lock_guard<std::mutex> lock(state_mutex_);
    requests_.clear();
    request_count_ = 0;
}

void DeviceServer::trace(const std::string& line) {
    std::lock_guard<std::mutex> lock(state_mutex_);
    if (trace_) trace_(line);
}

bool DeviceServer::tracing() const {
    std::lock_guard<std::mutex> lock(state_mutex_);
    return static_cast<bool>(trace_);
}

bool DeviceServer::takeFault(Fault* fault) {
    std::lock_guard<std::mutex> lock(state_mutex_);
    if (faults_.empty()) return false;
    *fault = faults_.front();
    if (faults_.front().count > 0 && --faults_.front().count == 0) faults_.pop_front();
    return true;
}

void DeviceServer::closeConnection(Connection& connection) {
    if (connection.fd != kNoSocket) closeSocket(connection.fd);
    connection.fd = kNoSocket;
    connection.outbox.clear();
    connection.sent = 0;
}

void DeviceServer::dropClosed() {
    std::vector<Connection> open;
    for (Connection& c : connections_) {
        if (c.fd != kNoSocket) open.push_back(std::move(c));
    }
    connections_ = std::move(open);
}

void DeviceServer::unplugIfAsked() {
    if (!unplug_requested_.exchange(false)) return;
    for (Connection& c : connections_) closeConnection(c);
    trace("-- unplugged");
}

bool DeviceServer::pause(int ms) {
    std::unique_lock<std::mutex> lock(pause_mutex_);
    return !pause_cv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return !running_; });
}

void DeviceServer::queue(Connection& connection, const std::vector<Bytes>& reports) {
    if (connection.fd == kNoSocket) return;
    if (connection.outbox.size() + reports.size() > kMaxQueuedReports) {
        trace("-- host does not read its replies; disconnecting");
        closeConnection(connection);
        return;
    }
    connection.outbox.insert(connection.outbox.end(), reports.begin(), reports.end());
    flush(connection);
}

void DeviceServer::onReport(Connection& connection, const std::uint8_t* message, std::size_t n) {
    if (!connection.setup_seen) {
        if (!isSetupReport(message, n)) {
            trace("-- first report is not the setup report: " + hex(message, n) + "; disconnecting");
            closeConnection(connection);
            return;
        }
        connection.setup_seen = true;
        ++setups_;
        trace("-- host connected (setup report received)");
        return;
    }
    if (n < 2) return;
    Fault pending;
    bool unplug_now = false;
    {
        std::lock_guard<std::mutex> lock(state_mutex_);
        unplug_now = !faults_.empty() && faults_.front().kind == Fault::Kind::unplug_request;
    }
    if (unplug_now && takeFault(&pending)) {
        trace("-- fault: unplugged in the middle of a request");
        closeConnection(connection);
        return;
    }
    const std::size_t count = std::min<std::size_t>({message[1], n - 2, 31});
    std::vector<DecodedFrame> frames;
    connection.decoder.feed(message + 2, count, frames);
    for (const DecodedFrame& frame : frames) {
        if (connection.fd == kNoSocket) break;
        handle(connection, frame);
    }
}

void DeviceServer::traceExchange(const DecodedFrame& frame, const std::string& name, const Reply& reply,
                                 const Bytes& wire) {
    const Command& command = frame.command;
    char head[96];
    std::snprintf(head, sizeof head, "-> %04X %02X %-22s", command.address, command.code, name.c_str());
    trace(std::string(head) + " payload[" + std::to_string(command.payload.size()) + "] " + hex(command.payload) +
          "  | " + hex(frame.raw));
    const char* meaning = statusText(reply.status);
    char tail[160];
    std::snprintf(tail, sizeof tail, "<- status %02X (%s)", reply.status, meaning ? meaning : "?");
    trace(std::string(tail) + " payload[" + std::to_string(reply.data.size()) + "] " + hex(reply.data) + "  | " +
          hex(wire));
}

void DeviceServer::handle(Connection& connection, const DecodedFrame& frame) {
    {
        std::lock_guard<std::mutex> lock(state_mutex_);
        // A long-running reader keeps only the most recent frames.
        if (requests_.size() >= kRequestLogSize) requests_.pop_front();
        requests_.push_back(frame.raw);
        ++request_count_;
    }
    if (const std::optional<Answer> answer = dispatch(frame)) send(connection, frame, *answer);
}

std::optional<DeviceServer::Answer> DeviceServer::dispatch(const DecodedFrame& frame) {
    const Command& command = frame.command;
    std::lock_guard<std::mutex> lock(reader_mutex_);
    if (command.address != reader_.address && command.address != 0) {
        trace("-> " + hex(frame.raw) + "  [for address " + std::to_string(command.address) + ", ignored]");
        return std::nullopt;
    }
    Answer answer;
    if (!frame.ok) {
        answer.reply = Reply::error(kFrameError);
        answer.name = "bad frame (" + frame.error + ")";
    } else {
        answer.reply = firmware_.dispatch(reader_, command, &answer.name);
        if (answer.reply.data.size() > kMaxReplyPayload) answer.reply = Reply::error(kBadLength);
    }
    // The reader answers from its address as it is after the command.
    answer.from = answer.reply.address.value_or(reader_.address);
    return answer;
}

void DeviceServer::send(Connection& connection, const DecodedFrame& frame, const Answer& answer) {
    Fault fault;
    const bool faulty = takeFault(&fault);
    const bool foreign = faulty && fault.kind == Fault::Kind::wrong_address;
    const std::uint8_t spoil = faulty && fault.kind == Fault::Kind::corrupt_checksum ? 0x01 : 0x00;
    const Bytes wire = common::encodeReply(foreign ? kForeignAddress : answer.from, frame.command.code, answer.reply.status,
                                   answer.reply.data, spoil);
    if (tracing()) traceExchange(frame, answer.name, answer.reply, wire);
    if (faulty) trace("-- fault: " + fault.describe());
    deliver(connection, wire, faulty ? &fault : nullptr);
}

void DeviceServer::deliver(Connection& connection, Bytes wire, const Fault* fault) {
    const Fault::Kind kind = fault ? fault->kind : Fault::Kind::none;
    switch (kind) {
    case Fault::Kind::drop:
        return;
    case Fault::Kind::delay:
        if (!pause(fault->delay_ms)) return;
        break;
    case Fault::Kind::truncate:
        if (static_cast<std::size_t>(fault->bytes) < wire.size()) wire.resize(fault->bytes);
        break;
    case Fault::Kind::garbage:
        wire.insert(wire.begin(), kGarbage.begin(), kGarbage.end());
        break;
    default:
        break;
    }
    const std::vector<Bytes> reports = common::toReports(wire);
    for (std::size_t i = 0; i < reports.size(); ++i) {
        const bool at_report = fault && static_cast<int>(i) == fault->report;
        if (at_report && kind == Fault::Kind::unplug_reply) {
            closeConnection(connection);
            return;
        }
        if (at_report && kind == Fault::Kind::split && !pause(fault->delay_ms)) return;
        queue(connection, {reports[i]});
        if (connection.fd == kNoSocket) return;
    }
    if (kind == Fault::Kind::unplug_reply) closeConnection(connection);
}

}  // namespace sim
