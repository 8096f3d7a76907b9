// Windows: virtual readers over TCP on 127.0.0.1. The virtual-device folder
// (reader_list.h) holds "<vid>-<pid>-<name>.tcp" files with
// "<port> <token>"; the token goes first on the connection, then one 33-byte
// report per message both ways.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "reader_list.h"
#include "virtual_tcp.h"

namespace tavo {
namespace {

constexpr std::size_t kTokenDigits = 32;

class WinsockUser {
public:
    WinsockUser() {
        WSADATA data;
        ok_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~WinsockUser() {
        if (ok_) ::WSACleanup();
    }
    WinsockUser(const WinsockUser&) = delete;
    WinsockUser& operator=(const WinsockUser&) = delete;
    bool ok() const { return ok_; }

private:
    bool ok_ = false;
};

// Waits until `s` can be read (or written) within timeout_ms.
IoStatus wait(SOCKET s, bool for_write, int timeout_ms) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval limit{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
    const int n = ::select(0, for_write ? nullptr : &set, for_write ? &set : nullptr, nullptr, &limit);
    if (n == 0) return IoStatus::timeout;
    return n < 0 ? IoStatus::error : IoStatus::ok;
}

class TcpDevice final : public Device {
public:
    TcpDevice(SOCKET s) : socket_(s) {}
    ~TcpDevice() override { ::closesocket(socket_); }
    TcpDevice(const TcpDevice&) = delete;
    TcpDevice& operator=(const TcpDevice&) = delete;

    IoStatus write(const std::uint8_t* report, std::size_t length, int timeout_ms) override {
        std::uint8_t out[kReportSize] = {};
        std::copy_n(report, std::min(length, kReportSize), out);
        return sendAll(out, kReportSize, timeout_ms);
    }

    // Reports arrive as a stream of whole 33-byte messages.
    IoStatus read(std::uint8_t* buffer, std::size_t capacity, std::size_t* length, int timeout_ms) override {
        *length = 0;
        std::uint8_t in[kReportSize];
        std::size_t got = 0;
        while (got < kReportSize) {
            const IoStatus ready = wait(socket_, false, timeout_ms);
            if (ready != IoStatus::ok) return ready;
            const int n = ::recv(socket_, reinterpret_cast<char*>(in + got), static_cast<int>(kReportSize - got), 0);
            if (n <= 0) return IoStatus::gone;
            got += static_cast<std::size_t>(n);
        }
        *length = std::min(capacity, kReportSize);
        std::copy_n(in, *length, buffer);
        return IoStatus::ok;
    }

    void sendSetup(const std::uint8_t* report, std::size_t length) override { (void)write(report, length, 3000); }
    int inputReportLength() const override { return static_cast<int>(kReportSize); }
    int outputReportLength() const override { return static_cast<int>(kReportSize); }

    IoStatus sendAll(const std::uint8_t* data, std::size_t length, int timeout_ms) {
        while (length > 0) {
            const IoStatus ready = wait(socket_, true, timeout_ms);
            if (ready != IoStatus::ok) return ready;
            const int n = ::send(socket_, reinterpret_cast<const char*>(data), static_cast<int>(length), 0);
            if (n <= 0) return IoStatus::gone;
            data += n;
            length -= static_cast<std::size_t>(n);
        }
        return IoStatus::ok;
    }

private:
    // Winsock counts its users: the device keeps it up after the backend
    // that opened it is gone.
    WinsockUser winsock_;
    SOCKET socket_;
};

class TcpBackend final : public Backend {
public:
    std::vector<DeviceInfo> enumerate() override {
        std::vector<DeviceInfo> found;
        const std::string dir = virtualDeviceDir();
        if (dir.empty() || !virtualDirTrusted(dir, nullptr)) return found;
        WIN32_FIND_DATAA entry;
        HANDLE search = ::FindFirstFileA((dir + "\\*.tcp").c_str(), &entry);
        if (search == INVALID_HANDLE_VALUE) return found;
        do {
            unsigned vid = 0, pid = 0;
            int used = 0;
            const std::string name = entry.cFileName;
            if (std::sscanf(name.c_str(), "%4x-%4x-%n", &vid, &pid, &used) != 2 || used != 10) continue;
            DeviceInfo info;
            info.path = dir + "\\" + name;
            info.vendor_id = static_cast<std::uint16_t>(vid);
            info.product_id = static_cast<std::uint16_t>(pid);
            info.backend = "virtual";
            info.name = name.substr(10, name.size() - 10 - 4);
            found.push_back(std::move(info));
        } while (::FindNextFileA(search, &entry));
        ::FindClose(search);
        std::sort(found.begin(), found.end(), [](const DeviceInfo& a, const DeviceInfo& b) { return a.path < b.path; });
        return found;
    }

    std::unique_ptr<Device> open(const DeviceInfo& info, std::string* why) override {
        if (!winsock_.ok()) {
            *why = "no Winsock";
            return nullptr;
        }
        std::ifstream file(info.path);
        int port = 0;
        std::string token;
        if (!(file >> port >> token) || port <= 0 || port > 65535 || token.size() != kTokenDigits) {
            *why = "no port and token in the file";
            return nullptr;
        }
        SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (s == INVALID_SOCKET) {
            *why = "no socket";
            return nullptr;
        }
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<u_short>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::closesocket(s);
            *why = "nothing listens on port " + std::to_string(port);
            return nullptr;
        }
        BOOL on = TRUE;
        ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
        auto device = std::make_unique<TcpDevice>(s);
        if (device->sendAll(reinterpret_cast<const std::uint8_t*>(token.data()), token.size(), 3000) != IoStatus::ok) {
            *why = "the token could not be sent";
            return nullptr;
        }
        return device;
    }

private:
    WinsockUser winsock_;
};

}  // namespace

std::unique_ptr<Backend> makeTcpVirtualBackend() { return std::make_unique<TcpBackend>(); }

}  // namespace tavo
