#include "frame.h"

#include <algorithm>
#include <cstring>

namespace kv {

std::atomic<int> g_lastStatus{0};

namespace {

bool needsEscape(std::uint8_t b) { return b == kStx || b == kEtx || b == kDle; }

// Writes bytes with the stuffing rule, keeping the running checksum.
struct Encoder {
    std::uint8_t* out;
    int capacity;
    int length = 0;
    std::uint8_t sum = 0;

    void raw(std::uint8_t b) {
        if (length < capacity) out[length] = b;
        ++length;
    }
    void stuffed(std::uint8_t b) {
        if (needsEscape(b)) raw(kDle);
        raw(b);
    }
    void field(std::uint8_t b) {
        sum = static_cast<std::uint8_t>(sum + b);
        stuffed(b);
    }
};

void encodeInto(Encoder& e, std::uint32_t address, std::uint8_t command, const std::uint8_t* payload, int length) {
    const int n = payload != nullptr && length > 0 ? length : 0;
    e.raw(kStx);
    e.field(static_cast<std::uint8_t>(address & 0xFF));
    e.field(static_cast<std::uint8_t>((address >> 8) & 0xFF));
    e.field(static_cast<std::uint8_t>((n + 3) & 0xFF));
    e.field(command);
    for (int i = 0; i < n; ++i) e.field(payload[i]);
    e.stuffed(e.sum);
    e.raw(kEtx);
}

}  // namespace

CTransData::CTransData(std::uint32_t device_address, std::uint8_t command, const std::uint8_t* payload, int length) {
    encode(device_address, command, payload, length);
}

CTransData::~CTransData() { g_lastStatus = GetStatus(); }

void CTransData::Rebuild(std::uint32_t device_address, std::uint8_t command, const std::uint8_t* payload,
                         int length) {
    encode(device_address, command, payload, length);
}

void CTransData::encode(std::uint32_t device_address, std::uint8_t command, const std::uint8_t* payload,
                        int length) {
    std::memset(m_request, 0, sizeof m_request);
    std::memset(m_reply, 0, sizeof m_reply);
    m_requestLength = 0;
    m_replyLength = 0;
    // No reply to this request yet: until one is parsed the status is 1, so
    // a second exchange that fails in the transport does not leave the
    // status of the first one behind.
    m_parseFailed = 1;
    Encoder e{m_request, kFrameBuffer};
    encodeInto(e, device_address, command, payload, length);
    // A frame that would not fit is never sent: callers check the payload
    // size first, and an empty request makes the transport refuse.
    m_requestLength = e.length <= kFrameBuffer ? e.length : 0;
}

int CTransData::ParseReply() {
    m_parseFailed = 1;
    const int raw_length = std::clamp(m_replyLength, 0, kFrameBuffer);
    if (raw_length == 0) return 0;

    std::uint8_t raw[kFrameBuffer];
    std::memcpy(raw, m_reply, raw_length);
    bool in_frame = false;
    bool escape = false;
    int j = 0;
    for (int i = 0; i < raw_length; ++i) {
        const std::uint8_t b = raw[i];
        if (escape) {
            escape = false;
            if (in_frame) m_reply[j++] = b;
        } else if (b == kStx) {
            in_frame = true;
            j = 0;
        } else if (b == kDle) {
            escape = true;
        } else if (b == kEtx) {
            if (!in_frame) continue;
            // A body needs address, length, one byte, status and checksum
            // (L >= 3) to carry a status at all; shorter bodies are rejected.
            if (j < 6) return 0;
            std::uint8_t sum = 0;
            for (int k = 0; k < j - 1; ++k) sum = static_cast<std::uint8_t>(sum + m_reply[k]);
            if (sum != m_reply[j - 1] || m_reply[2] != j - 3) return 0;
            m_parseFailed = 0;
            return 1;
        } else if (in_frame) {
            m_reply[j++] = b;
        }
    }
    m_replyLength = j;
    return 0;
}

std::uint8_t CTransData::GetStatus() const { return m_parseFailed ? 1 : m_reply[4]; }

std::uint16_t CTransData::GetReplyAddress() const {
    return static_cast<std::uint16_t>(m_reply[0] | (m_reply[1] << 8));
}

int CTransData::GetDataLength() const { return m_reply[2] >= 3 ? m_reply[2] - 3 : 0; }

int CTransData::CopyData(void* destination, int count) const {
    if (GetDataLength() <= 0 || destination == nullptr) return 0;
    const int n = std::clamp(count, 0, kFrameBuffer - 5);
    std::memcpy(destination, m_reply + 5, n);
    return 1;
}

int CTransData::CopyReplyBody(void* destination) const {
    const int l = m_reply[2];
    if (l == 0 || destination == nullptr) return 0;
    std::memcpy(destination, m_reply, l + 3);
    return 1;
}

}  // namespace kv
