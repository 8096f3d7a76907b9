#include "wire_trace.h"

#include <algorithm>
#include <cstdio>

#include "errors.h"
#include "kv_commands.h"

namespace kl {
namespace {

// The report lines of the trace: '>' or '<', the report bytes in hex
// (report id, count, data), "  # " and a note naming what the report was.
struct ReportLine {
    Bytes report;
    std::string note;
};

bool parseReportLine(const std::string& text, ReportLine* out) {
    if (text.size() < 2 || (text[0] != '>' && text[0] != '<') || text[1] != ' ') return false;
    const std::size_t mark = text.find("  # ");
    if (mark == std::string::npos) return false;
    out->note = text.substr(mark + 4);
    return parseHex(text.substr(2, mark - 2), &out->report) && out->report.size() >= 2;
}

bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// The report's data: the count byte, never trusted beyond the report.
Bytes reportData(const Bytes& report) {
    const std::size_t count = std::min<std::size_t>(report[1], report.size() - 2);
    return Bytes(report.begin() + 2, report.begin() + 2 + static_cast<std::ptrdiff_t>(count));
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

std::string payloadText(const Bytes& payload) {
    return "payload[" + std::to_string(payload.size()) + "]" + (payload.empty() ? "" : " " + toHex(payload, " "));
}

std::string wireText(const common::DecodedFrame& frame) { return "  | " + toHex(frame.raw, " "); }

}  // namespace

std::string describeRequest(const common::DecodedFrame& frame) {
    if (!frame.ok) return "-> bad frame (" + frame.error + ")" + wireText(frame);
    const common::Command& c = frame.command;
    char head[32];
    std::snprintf(head, sizeof head, "-> %04X %02X ", c.address, c.code);
    return head + commandNames(c.code) + "  " + payloadText(c.payload) + wireText(frame);
}

std::string describeReply(const common::DecodedFrame& frame) {
    if (!frame.ok) return "<- bad frame (" + frame.error + ")" + wireText(frame);
    char head[32];
    std::snprintf(head, sizeof head, "<- %04X status %02X ", frame.command.address, frame.status);
    return head + ("(" + describeResult(frame.status) + ")  ") + payloadText(frame.command.payload) + wireText(frame);
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
    std::vector<common::DecodedFrame> frames;
    if (report.note.find("request report") != std::string::npos) {
        to_reader_.feed(data.data(), data.size(), frames);
        for (const common::DecodedFrame& frame : frames) out->push_back(describeRequest(frame));
    } else if (report.note.find("reply report") != std::string::npos) {
        from_reader_.feed(data.data(), data.size(), frames);
        for (const common::DecodedFrame& frame : frames) out->push_back(describeReply(frame));
    } else if (report.note.find("stale") != std::string::npos) {
        out->push_back("-- " + report.note + ": " + toHex(data, " "));
    }
}

}  // namespace kl
