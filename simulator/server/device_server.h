// Serves a simulated reader as a virtual HID device: a SOCK_SEQPACKET socket
// in the virtual-device folder, one 33-byte report per message.
#pragma once

#include <sys/types.h>

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
    // Stops serving; the socket is removed only while it is still the one
    // this server bound.
    void stop();
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
    void clearRequests();
    // The number of setup reports received (one per open).
    int setups() const { return setups_; }

private:
    struct Connection {
        int fd = -1;
        bool setup_seen = false;
        common::FrameDecoder decoder;
        std::deque<Bytes> outbox;  // reports not yet taken by the host
    };

    // What the reader answers to one frame.
    struct Answer {
        Reply reply;
        std::string name;        // of the handler that answered
        std::uint16_t from = 0;  // the address the reply carries
    };

    void run();
    void receive(Connection& connection);
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
    void flush(Connection& connection);
    // Sleeps for a fault; false when the server is stopping meanwhile.
    bool pause(int ms);
    void acceptHost();
    bool takeFault(Fault* fault);
    void closeConnection(Connection& connection);
    void trace(const std::string& line);
    void traceExchange(const DecodedFrame& frame, const std::string& name, const Reply& reply, const Bytes& wire);
    bool tracing() const;

    Reader& reader_;
    ServerOptions options_;
    Firmware firmware_;
    std::string path_;
    int listen_fd_ = -1;
    int lock_fd_ = -1;
    dev_t socket_device_ = 0;  // of the socket file this server bound
    ino_t socket_inode_ = 0;
    std::chrono::steady_clock::time_point accept_resume_{};  // after running out of descriptors
    int wake_[2] = {-1, -1};
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
    std::vector<Connection> connections_;
};

}  // namespace sim
