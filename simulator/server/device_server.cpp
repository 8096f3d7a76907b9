#include "server/device_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
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
// Reports waiting for a host that does not read (about 33 KB); past this the
// host is disconnected so that it cannot hold the server up.
constexpr std::size_t kMaxQueuedReports = 1024;
// After accept fails for want of file descriptors, new hosts wait this long
// instead of the server spinning on the ready listening socket.
constexpr auto kAcceptBackoff = std::chrono::milliseconds(200);
// Junk before the STX; it ends on an escaped pair so it cannot swallow the STX.
const Bytes kGarbage = {0xFF, 0x55, 0x03, 0x10, 0x10, 0xAA};

bool isSetupReport(const std::uint8_t* m, std::size_t n) {
    if (n != kReportSize || std::memcmp(m, kSetup, sizeof kSetup) != 0) return false;
    for (std::size_t i = sizeof kSetup; i < n; ++i) {
        if (m[i] != 0) return false;
    }
    return true;
}

// A socket file nobody listens on is left over from a reader that died.
bool someoneListens(const sockaddr_un& address) {
    // Non-blocking: a stopped server with a full backlog answers EAGAIN at once.
    const int probe = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (probe < 0) return false;
    const bool listening = ::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ||
                           errno == EAGAIN;  // a full backlog: someone listens
    ::close(probe);
    return listening;
}

}  // namespace

bool prepareServingFolder(const std::string& dir, std::string* why) {
    if (dir.empty()) {
        if (why) *why = "no virtual-device folder";
        return false;
    }
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
        if (why) *why = "cannot create " + dir + ": " + std::strerror(errno);
        return false;
    }
    std::string reason;
    if (!tavo::virtualDirTrusted(dir, &reason)) {
        if (why) *why = "refusing to serve in " + reason + " (the folder must be this user's alone: mode 0700)";
        return false;
    }
    return true;
}

DeviceServer::DeviceServer(Reader& reader, Firmware firmware, ServerOptions options)
    : reader_(reader), options_(std::move(options)), firmware_(std::move(firmware)) {}

DeviceServer::~DeviceServer() { stop(); }

bool DeviceServer::start(std::string* why) {
    auto fail = [&](const std::string& reason) {
        if (why) *why = reason;
        if (listen_fd_ >= 0) ::close(listen_fd_);
        if (lock_fd_ >= 0) ::close(lock_fd_);
        listen_fd_ = lock_fd_ = -1;
        return false;
    };
    std::string reason;
    if (!prepareServingFolder(options_.dir, &reason)) return fail(reason);
    path_ = options_.dir + "/" + tavo::virtualDeviceFileName(options_.vendor_id, options_.product_id, options_.name);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path_.size() >= sizeof address.sun_path) return fail("socket path too long: " + path_);
    std::memcpy(address.sun_path, path_.c_str(), path_.size() + 1);

    // One server per socket name: whoever holds the lock owns the socket file,
    // so servers started together cannot both bind, nor remove each other's.
    const std::string lock_path = path_ + ".lock";
    lock_fd_ = ::open(lock_path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600);
    if (lock_fd_ < 0) return fail("cannot open the lock file " + lock_path + ": " + std::strerror(errno));
    if (::flock(lock_fd_, LOCK_EX | LOCK_NB) != 0) {
        return fail(errno == EWOULDBLOCK ? path_ + " is served by another reader"
                                         : "cannot lock " + lock_path + ": " + std::strerror(errno));
    }
    struct stat existing {};
    if (::lstat(path_.c_str(), &existing) == 0) {
        if (!S_ISSOCK(existing.st_mode)) return fail(path_ + " exists and is not a socket; it is left alone");
        if (someoneListens(address)) return fail(path_ + " is served by another reader");
        ::unlink(path_.c_str());  // left over from a reader that died
    }

    listen_fd_ = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listen_fd_ < 0) return fail(std::string("socket: ") + std::strerror(errno));
    if (::bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        return fail("bind " + path_ + ": " + std::strerror(errno));
    }
    struct stat bound {};
    if (::lstat(path_.c_str(), &bound) != 0) return fail("bind " + path_ + ": " + std::strerror(errno));
    socket_device_ = bound.st_dev;
    socket_inode_ = bound.st_ino;
    ::chmod(path_.c_str(), 0600);
    if (::listen(listen_fd_, 8) != 0) return fail(std::string("listen: ") + std::strerror(errno));
    if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) return fail(std::string("pipe: ") + std::strerror(errno));
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
    const char byte = 0;
    (void)!::write(wake_[1], &byte, 1);
    thread_.join();
    for (Connection& c : connections_) ::close(c.fd);
    connections_.clear();
    ::close(listen_fd_);
    ::close(wake_[0]);
    ::close(wake_[1]);
    listen_fd_ = wake_[0] = wake_[1] = -1;
    // Only the socket this server bound is removed: never a file someone put
    // in its place, nor the socket of a server that took over the name.
    struct stat now {};
    if (::lstat(path_.c_str(), &now) == 0 && S_ISSOCK(now.st_mode) && now.st_dev == socket_device_ &&
        now.st_ino == socket_inode_) {
        ::unlink(path_.c_str());
    }
    ::close(lock_fd_);
    lock_fd_ = -1;
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
    return std::vector<Bytes>(requests_.begin(), requests_.end());
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
    connection.outbox.clear();
}

bool DeviceServer::pause(int ms) {
    std::unique_lock<std::mutex> lock(pause_mutex_);
    return !pause_cv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return !running_; });
}

void DeviceServer::queue(Connection& connection, const std::vector<Bytes>& reports) {
    if (connection.fd < 0) return;
    if (connection.outbox.size() + reports.size() > kMaxQueuedReports) {
        trace("-- host does not read its replies; disconnecting");
        closeConnection(connection);
        return;
    }
    connection.outbox.insert(connection.outbox.end(), reports.begin(), reports.end());
    flush(connection);
}

void DeviceServer::flush(Connection& connection) {
    while (connection.fd >= 0 && !connection.outbox.empty()) {
        const Bytes& report = connection.outbox.front();
        const ssize_t n = ::send(connection.fd, report.data(), report.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;  // the rest when it drains
        if (n < 0) {
            closeConnection(connection);
            return;
        }
        connection.outbox.pop_front();
    }
}

void DeviceServer::acceptHost() {
    const int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd >= 0) {
        Connection c;
        c.fd = fd;
        connections_.push_back(std::move(c));
    } else if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
        trace(std::string("-- cannot accept a host: ") + std::strerror(errno) + "; waiting");
        accept_resume_ = std::chrono::steady_clock::now() + kAcceptBackoff;
    }
}

void DeviceServer::run() {
    while (running_) {
        const auto now = std::chrono::steady_clock::now();
        const bool accepting = now >= accept_resume_;
        std::vector<pollfd> fds{{wake_[0], POLLIN, 0}, {accepting ? listen_fd_ : -1, POLLIN, 0}};
        for (const Connection& c : connections_) {
            fds.push_back({c.fd, static_cast<short>(POLLIN | (c.outbox.empty() ? 0 : POLLOUT)), 0});
        }
        const int timeout = accepting ? -1
                                      : static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                             accept_resume_ - now).count()) + 1;
        if (::poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) break;
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
            Connection& c = connections_[i - 2];
            if (c.fd != fds[i].fd) continue;
            if (fds[i].revents & POLLOUT) flush(c);
            if (c.fd >= 0 && (fds[i].revents & ~POLLOUT) != 0) receive(c);
        }
        if (fds[1].revents & POLLIN) acceptHost();
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
        if (requests_.size() >= kRequestLogSize) requests_.pop_front();
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
        if (connection.fd < 0) return;
    }
    if (kind == Fault::Kind::unplug_reply) closeConnection(connection);
}

}  // namespace sim
