#include "server/device_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "reader_list.h"

namespace sim {
namespace {

constexpr std::uint8_t kSetup[6] = {0x00, 0xFF, 0xC7, 0x83, 0xCC, 0x10};
constexpr std::size_t kReportSize = 33;
constexpr std::uint16_t kForeignAddress = 0xBEEF;
// Junk before the STX; it ends on an escaped pair so it cannot swallow the STX.
const Bytes kGarbage = {0xFF, 0x55, 0x03, 0x10, 0x10, 0xAA};

bool isSetupReport(const std::uint8_t* m, std::size_t n) {
    if (n != kReportSize || std::memcmp(m, kSetup, sizeof kSetup) != 0) return false;
    for (std::size_t i = sizeof kSetup; i < n; ++i) {
        if (m[i] != 0) return false;
    }
    return true;
}

void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace

DeviceServer::DeviceServer(Reader& reader, Firmware firmware, ServerOptions options)
    : reader_(reader), options_(std::move(options)), firmware_(std::move(firmware)) {}

DeviceServer::~DeviceServer() { stop(); }

bool DeviceServer::start(std::string* why) {
    auto fail = [&](const std::string& reason) {
        if (why) *why = reason;
        if (listen_fd_ >= 0) ::close(listen_fd_);
        listen_fd_ = -1;
        return false;
    };
    if (options_.dir.empty()) return fail("no virtual-device folder");
    if (::mkdir(options_.dir.c_str(), 0700) != 0 && errno != EEXIST) {
        return fail("cannot create " + options_.dir + ": " + std::strerror(errno));
    }
    path_ = options_.dir + "/" + tavo::virtualDeviceFileName(options_.vendor_id, options_.product_id, options_.name);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path_.size() >= sizeof address.sun_path) return fail("socket path too long: " + path_);
    std::memcpy(address.sun_path, path_.c_str(), path_.size() + 1);

    listen_fd_ = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (listen_fd_ < 0) return fail(std::string("socket: ") + std::strerror(errno));
    // A socket file nobody listens on is left over from a reader that died.
    const int probe = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (::connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        ::close(probe);
        return fail(path_ + " is served by another reader");
    }
    ::close(probe);
    ::unlink(path_.c_str());
    if (::bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        return fail("bind " + path_ + ": " + std::strerror(errno));
    }
    ::chmod(path_.c_str(), 0600);
    if (::listen(listen_fd_, 8) != 0) return fail(std::string("listen: ") + std::strerror(errno));
    if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) return fail(std::string("pipe: ") + std::strerror(errno));
    running_ = true;
    thread_ = std::thread([this] { run(); });
    return true;
}

void DeviceServer::stop() {
    if (!running_.exchange(false)) return;
    const char byte = 0;
    (void)!::write(wake_[1], &byte, 1);
    thread_.join();
    for (Connection& c : connections_) ::close(c.fd);
    connections_.clear();
    ::close(listen_fd_);
    ::close(wake_[0]);
    ::close(wake_[1]);
    listen_fd_ = wake_[0] = wake_[1] = -1;
    ::unlink(path_.c_str());
}

void DeviceServer::inject(const Fault& fault) {
    std::lock_guard<std::mutex> lock(state_mutex_);
    faults_.push_back(fault);
}

void DeviceServer::unplug() {
    unplug_requested_ = true;
    const char byte = 0;
    (void)!::write(wake_[1], &byte, 1);
}

void DeviceServer::setTrace(TraceSink sink) {
    std::lock_guard<std::mutex> lock(state_mutex_);
    trace_ = std::move(sink);
}

std::vector<Bytes> DeviceServer::requests() const {
    std::lock_guard<std::mutex> lock(state_mutex_);
    return requests_;
}

void DeviceServer::clearRequests() {
    std::lock_guard<std::mutex> lock(state_mutex_);
    requests_.clear();
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
    if (connection.fd >= 0) ::close(connection.fd);
    connection.fd = -1;
}

void DeviceServer::run() {
    while (running_) {
        std::vector<pollfd> fds{{wake_[0], POLLIN, 0}, {listen_fd_, POLLIN, 0}};
        for (const Connection& c : connections_) fds.push_back({c.fd, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) break;
        if (fds[0].revents) {
            char drain[16];
            while (::read(wake_[0], drain, sizeof drain) > 0) {}
        }
        if (unplug_requested_.exchange(false)) {
            for (Connection& c : connections_) closeConnection(c);
            trace("-- unplugged");
        }
        if (!running_) break;
        for (std::size_t i = 2; i < fds.size(); ++i) {
            if (fds[i].revents != 0 && connections_[i - 2].fd == fds[i].fd) receive(connections_[i - 2]);
        }
        if (fds[1].revents & POLLIN) {
            const int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0) {
                Connection c;
                c.fd = fd;
                connections_.push_back(std::move(c));
            }
        }
        std::vector<Connection> open;
        for (Connection& c : connections_) {
            if (c.fd >= 0) open.push_back(std::move(c));
        }
        connections_ = std::move(open);
    }
}

void DeviceServer::receive(Connection& connection) {
    std::uint8_t message[64];
    const ssize_t n = ::recv(connection.fd, message, sizeof message, MSG_DONTWAIT);
    if (n <= 0) {
        if (n == 0 || (errno != EAGAIN && errno != EINTR)) closeConnection(connection);
        return;
    }
    if (!connection.setup_seen) {
        if (!isSetupReport(message, static_cast<std::size_t>(n))) {
            trace("-- first report is not the setup report: " + hex(message, static_cast<std::size_t>(n)) +
                  "; disconnecting");
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
    const std::size_t count = std::min<std::size_t>({message[1], static_cast<std::size_t>(n) - 2, 31});
    std::vector<DecodedFrame> frames;
    connection.decoder.feed(message + 2, count, frames);
    for (const DecodedFrame& frame : frames) {
        if (connection.fd < 0) break;
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
        constexpr std::size_t kRequestLogLimit = 100000;
        if (requests_.size() >= kRequestLogLimit) {
            requests_.erase(requests_.begin(), requests_.begin() + kRequestLogLimit / 2);
        }
        requests_.push_back(frame.raw);
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
        sleepMs(fault->delay_ms);
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
        if (at_report && kind == Fault::Kind::split) sleepMs(fault->delay_ms);
        if (::send(connection.fd, reports[i].data(), reports[i].size(), MSG_NOSIGNAL) < 0) {
            closeConnection(connection);
            return;
        }
    }
    if (kind == Fault::Kind::unplug_reply) closeConnection(connection);
}

}  // namespace sim
