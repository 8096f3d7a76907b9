// Serves a simulated reader as a virtual HID device, one 33-byte report per
// message. On Linux: a SOCK_SEQPACKET socket in the virtual-device folder
// (TcpEndpoint relays TCP hosts to it). On Windows, which has no such
// sockets: TCP on 127.0.0.1, with the port and a token in the folder's
// "<vid>-<pid>-<name>.tcp" file, as TcpEndpoint offers on Linux.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "firmware/firmware.h"
#include "firmware/reader.h"
#include "frame_codec.h"
#include "server/faults.h"

namespace sim {

using common::DecodedFrame;

// Makes `dir` ready to serve in: creates it with mode 0700 when missing, and
// accepts it only when it is this user's alone (the rule the transport uses
// to search it). `why` gets the reason otherwise.
bool prepareServingFolder(const std::string& dir, std::string* why);

struct ServerOptions {
    std::string dir;  // the virtual-device folder; created (0700) when missing
    std::string name = "reader0";
    std::uint16_t vendor_id = 0x1A86;
    std::uint16_t product_id = 0xE010;
};

class DeviceServer {
public:
    using TraceSink = std::function<void(const std::string&)>;

    // Serves `reader`, answering with `firmware` (see families.h).
    DeviceServer(Reader& reader, Firmware firmware, ServerOptions options);
    ~DeviceServer();
    DeviceServer(const DeviceServer&) = delete;
    DeviceServer& operator=(const DeviceServer&) = delete;

    // Takes the folder's lock for this socket name (one server per socket),
    // creates the socket and starts serving on a thread of this process.
    bool start(std::string* why);
    // Stops serving; the socket (Windows: the port file) is removed only
    // while it is still the one this server made.
    void stop();
    // The socket; on Windows the port file.
    const std::string& socketPath() const { return path_; }

    // Queues a fault for the next replies.
    void inject(const Fault& fault);
    // Disconnects every connected host now (the reader is unplugged); the
    // socket stays, so the reader can be opened again.
    void unplug();

    // Annotated request and reply frames, one line each.
    void setTrace(TraceSink sink);

    // Runs `f` on the reader while no command is being carried out.
    template <typename F>
    auto withReader(F f) {
        std::lock_guard<std::mutex> lock(reader_mutex_);
        return f(reader_);
    }

    // The most recent request frames (kRequestLogSize at most), as they came
    // on the wire.
    static constexpr std::size_t kRequestLogSize = 4096;
    std::vector<Bytes> requests() const;
    // Every request frame since the last clear, kept or not.
    std::size_t requestCount() const;
    void clearRequests();
    // The number of setup reports received (one per open).
    int setups() const { return setups_; }

private:
    // A socket descriptor (Windows: a SOCKET, whose invalid value is -1 too).
    using Socket = std::intptr_t;
    static constexpr Socket kNoSocket = -1;

    struct Connection {
        Socket fd = kNoSocket;
        bool setup_seen = false;
        common::FrameDecoder decoder;
        std::deque<Bytes> outbox;  // reports not yet taken by the host
        // A byte stream (TCP) carries the token first, and reports that may
        // arrive or leave in pieces.
        bool token_seen = false;
        std::chrono::steady_clock::time_point opened{};  // a host has 5 s for its token
        Bytes inbox;
        std::size_t sent = 0;  // bytes of outbox.front() already sent
    };

    // What the reader answers to one frame.
    struct Answer {
        Reply reply;
        std::string name;        // of the handler that answered
        std::uint16_t from = 0;  // the address the reply carries
    };

    // The platform's part (device_server_posix.cpp, device_server_win32.cpp).
    bool openEndpoint(std::string* why);
    void closeEndpoint();
    void wakeUp();
    void run();
    void receive(Connection& connection);
    void flush(Connection& connection);
    void acceptHost();
    static void closeSocket(Socket fd);
    // Forgets the connections closed since the last call.
    void dropClosed();
    // Disconnects every host when unplug() asked for it.
    void unplugIfAsked();

    // One report from the host: the setup report first, then request frames.
    void onReport(Connection& connection, const std::uint8_t* message, std::size_t n);
    // One request frame: logged, dispatched, answered.
    void handle(Connection& connection, const DecodedFrame& frame);
    // The reader's answer; nothing for a frame addressed to another reader.
    std::optional<Answer> dispatch(const DecodedFrame& frame);
    // Encodes and traces the answer and hands it to deliver() with the fault that is due.
    void send(Connection& connection, const DecodedFrame& frame, const Answer& answer);
    // Sends reply bytes as reports, spoiled by the fault when there is one.
    void deliver(Connection& connection, Bytes wire, const Fault* fault);
    // Queues reports for the host and sends what the socket takes now; a
    // host that lets kMaxQueuedReports pile up is disconnected.
    void queue(Connection& connection, const std::vector<Bytes>& reports);
    // Sleeps for a fault; false when the server is stopping meanwhile.
    bool pause(int ms);
    bool takeFault(Fault* fault);
    void closeConnection(Connection& connection);
    void trace(const std::string& line);
    void traceExchange(const DecodedFrame& frame, const std::string& name, const Reply& reply, const Bytes& wire);
    bool tracing() const;

    Reader& reader_;
    ServerOptions options_;
    Firmware firmware_;
    std::string path_;
    Socket listen_fd_ = kNoSocket;
    std::intptr_t lock_ = -1;           // the lock file's descriptor (Windows: handle)
    std::uint64_t socket_device_ = 0;  // of the socket file this server bound
    std::uint64_t socket_inode_ = 0;
    std::string token_;                // Windows: what hosts present first
    std::chrono::steady_clock::time_point accept_resume_{};  // after running out of descriptors
    Socket wake_[2] = {kNoSocket, kNoSocket};
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<bool> unplug_requested_{false};
    std::atomic<int> setups_{0};

    std::mutex pause_mutex_;
    std::condition_variable pause_cv_;

    std::mutex reader_mutex_;
    mutable std::mutex state_mutex_;  // faults, trace sink, request log
    std::deque<Fault> faults_;
    TraceSink trace_;
    std::deque<Bytes> requests_;
    std::size_t request_count_ = 0;
    std::vector<Connection> connections_;
};

}  // namespace sim
