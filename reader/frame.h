// CTransData: the frame object of one exchange with the reader.
//
// Request on the wire: STX, address low, address high, length (n + 3),
// command, n payload bytes, checksum, ETX; every byte between STX and ETX
// that is 02, 03 or 10 is preceded by DLE (10). The checksum is the sum of
// the unescaped bytes from address low to the last payload byte.
//
// Reply body (after un-stuffing): address low, address high, length L, one
// byte we do not interpret, status, L - 3 payload bytes, checksum.
#pragma once

#include <atomic>
#include <cstdint>

namespace kv {

constexpr int kFrameBuffer = 1024;
constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kEtx = 0x03;
constexpr std::uint8_t kDle = 0x10;

// The largest payload whose length byte (n + 3) does not wrap.
constexpr int kMaxPayload = 252;

// Status of the most recent frame object destroyed in this process. With
// callers on several threads the last destructor to run wins; the value is
// atomic only so that such callers never see a torn or racy read.
extern std::atomic<int> g_lastStatus;

class CTransData {
public:
    CTransData(std::uint32_t device_address, std::uint8_t command, const std::uint8_t* payload, int length);
    virtual ~CTransData();
    virtual int Reserved(int, int, int) { return 1; }

    CTransData(const CTransData&) = delete;
    CTransData& operator=(const CTransData&) = delete;

    void Rebuild(std::uint32_t device_address, std::uint8_t command, const std::uint8_t* payload, int length);

    int ParseReply();
    std::uint8_t GetStatus() const;
    std::uint16_t GetReplyAddress() const;
    int GetDataLength() const;
    int CopyData(void* destination, int count) const;
    int CopyReplyBody(void* destination) const;

    // What the transport writes into and reads from.
    std::uint8_t* request() { return m_request; }
    int requestLength() const { return m_requestLength; }
    std::uint8_t* reply() { return m_reply; }
    int* replyLength() { return &m_replyLength; }

private:
    void encode(std::uint32_t device_address, std::uint8_t command, const std::uint8_t* payload, int length);

    std::uint8_t m_request[kFrameBuffer];
    int m_requestLength;
    std::uint8_t m_reply[kFrameBuffer];
    int m_replyLength;
    std::uint8_t m_parseFailed;
};

}  // namespace kv
