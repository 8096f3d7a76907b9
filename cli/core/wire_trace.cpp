#include "wire_trace.h"

#include <cstdio>

#include "errors.h"
#include "kv_commands.h"

namespace kl {
namespace {

// The report lines of the trace: '>' or '<', the report bytes in hex
// (report id, count, data), "  # " and a note naming what the report was.
struct ReportLine {
    char direction = 0;
    Bytes report;
    std::string note;
};

bool parseReportLine(const std::string& text, ReportLine* out) {
    if (text.size() < 2 || (text[0] != '>' && text[0] != '<') || text[1] != ' ') return false;
    const std::size_t mark = text.find("  # ");
    if (mark == std::string::npos) return false;
    out->direction = text[0];
    out->note = text.substr(mark + 4);
    return parseHex(text.substr(2, mark - 2), &out->report).empty() && out->report.size() >= 2;
}

bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// The report's data: the count byte, never trusted beyond the report.
Bytes reportData(const Bytes& report) {
    const std::size_t count = std::min<std::size_t>(report[1], report.size() - 2);
    return Bytes(report.begin() + 2, report.begin() + 2 + static_cast<std::ptrdiff_t>(count));
}

unsigned sum(const Bytes& bytes, std::size_t count) {
    unsigned total = 0;
    for (std::size_t i = 0; i < count; ++i) total += bytes[i];
    return total & 0xFF;
}

// The functions that send `code`; several when families share it.
std::string commandNames(std::uint8_t code) {
    std::string names;
    for (const kv::ReaderCommand& command : kv::kReaderCommands) {
        if (command.code != code) continue;
        if (!names.empty()) names += "/";
        names += command.name;
    }
    return names.empty() ? "?" : names;
}

// The payload: from `first` up to the checksum.
std::string payloadText(const Bytes& body, std::size_t first) {
    const Bytes payload(body.begin() + static_cast<std::ptrdiff_t>(first), body.end() - 1);
    return "payload[" + std::to_string(payload.size()) + "]" + (payload.empty() ? "" : " " + toHex(payload, " "));
}

std::string wireText(const Frame& frame) { return "  | " + toHex(frame.wire, " "); }

// Why a frame body is refused, or null: fewer than `least` bytes, a length
// byte other than the body size less `uncounted`, or a bad checksum.
const char* refusal(const Bytes& body, std::size_t least, std::size_t uncounted) {
    if (body.size() < least) return "too short";
    if (body[2] != static_cast<std::uint8_t>(body.size() - uncounted)) return "length byte";
    if (sum(body, body.size() - 1) != body.back()) return "checksum";
    return nullptr;
}

}  // namespace

std::string describeRequest(const Frame& frame) {
    const Bytes& b = frame.body;
    // Address, length, code and checksum at least; the length counts from the code.
    if (const char* why = refusal(b, 5, 2)) return std::string("-> bad frame (") + why + ")" + wireText(frame);
    char head[32];
    std::snprintf(head, sizeof head, "-> %04X %02X ", b[0] | b[1] << 8, b[3]);
    return head + commandNames(b[3]) + "  " + payloadText(b, 4) + wireText(frame);
}

std::string describeReply(const Frame& frame) {
    const Bytes& b = frame.body;
    // Address, length, one byte, status and checksum at least; the length
    // counts from that byte.
    if (const char* why = refusal(b, 6, 3)) return std::string("<- bad frame (") + why + ")" + wireText(frame);
    char head[32];
    std::snprintf(head, sizeof head, "<- %04X status %02X ", b[0] | b[1] << 8, b[4]);
    return head + ("(" + describeResult(b[4]) + ")  ") + payloadText(b, 5) + wireText(frame);
}

std::vector<std::string> WireTraceDecoder::feed(const std::string& text) {
    std::vector<std::string> out;
    pending_ += text;
    std::size_t start = 0;
    for (std::size_t end; (end = pending_.find('\n', start)) != std::string::npos; start = end + 1) {
        line(pending_.substr(start, end - start), &out);
    }
    pending_.erase(0, start);
    return out;
}

void WireTraceDecoder::line(const std::string& text, std::vector<std::string>* out) {
    ReportLine report;
    if (!parseReportLine(text, &report)) {
        // The transport's notes on an exchange that went wrong ("# exchange
        // 3 reply report 1: time-out after 4000 ms"); opening and closing
        // are of no interest here.
        if (startsWith(text, "# exchange ")) out->push_back("-- " + text.substr(2));
        return;
    }
    const Bytes data = reportData(report.report);
    if (report.note.find("request report") != std::string::npos) {
        for (const Frame& frame : to_reader_.feed(data.data(), data.size())) out->push_back(describeRequest(frame));
    } else if (report.note.find("reply report") != std::string::npos) {
        for (const Frame& frame : from_reader_.feed(data.data(), data.size())) out->push_back(describeReply(frame));
    } else if (report.note.find("stale") != std::string::npos) {
        out->push_back("-- " + report.note + ": " + toHex(data, " "));
    }
}

}  // namespace kl
