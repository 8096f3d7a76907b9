#include "server/faults.h"

#include <map>

namespace sim {

const char* const kFaultHelp =
    "Faults (each affects the next reply; append *N for N replies or * for all):\n"
    "  delay=MS           reply after MS milliseconds (the library gives up after 4000)\n"
    "  drop               never reply\n"
    "  truncate=N         send only the first N bytes of the reply frame\n"
    "  corrupt-checksum   flip a bit of the reply's checksum\n"
    "  garbage            send junk bytes before the reply's STX\n"
    "  split=R:MS         pause MS milliseconds before reply report R (1 = second report)\n"
    "  unplug-request     disconnect after the first report of the next request\n"
    "  unplug-reply=R     disconnect after sending R reports of the reply (0: before any)\n"
    "  wrong-address      reply from address 0xBEEF instead of the reader's own\n";

namespace {

// Decimal digits only, 0 to 1000000: no sign, no spaces, nothing after.
bool number(const std::string& text, int* out) {
    if (text.empty() || text.size() > 7) return false;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    if (value > 1000000) return false;
    *out = value;
    return true;
}

}  // namespace

bool Fault::parse(const std::string& text, Fault* out, std::string* why) {
    Fault f;
    std::string body = text;
    const std::size_t star = body.find('*');
    if (star != std::string::npos) {
        const std::string times = body.substr(star + 1);
        body = body.substr(0, star);
        if (times.empty()) {
            f.count = -1;
        } else if (!number(times, &f.count) || f.count == 0) {
            if (why) *why = "bad repeat count in '" + text + "'";
            return false;
        }
    }
    const std::size_t eq = body.find('=');
    const std::string name = body.substr(0, eq);
    const std::string arg = eq == std::string::npos ? "" : body.substr(eq + 1);
    bool ok = true;
    if (name == "delay") {
        f.kind = Kind::delay;
        ok = number(arg, &f.delay_ms);
    } else if (name == "drop") {
        f.kind = Kind::drop;
    } else if (name == "truncate") {
        f.kind = Kind::truncate;
        ok = number(arg, &f.bytes);
    } else if (name == "corrupt-checksum") {
        f.kind = Kind::corrupt_checksum;
    } else if (name == "garbage") {
        f.kind = Kind::garbage;
    } else if (name == "split") {
        f.kind = Kind::split;
        const std::size_t colon = arg.find(':');
        ok = colon != std::string::npos && number(arg.substr(0, colon), &f.report) &&
             number(arg.substr(colon + 1), &f.delay_ms);
    } else if (name == "unplug-request") {
        f.kind = Kind::unplug_request;
    } else if (name == "unplug-reply") {
        f.kind = Kind::unplug_reply;
        ok = number(arg, &f.report);
    } else if (name == "wrong-address") {
        f.kind = Kind::wrong_address;
    } else {
        if (why) *why = "unknown fault '" + name + "'";
        return false;
    }
    if (!ok) {
        if (why) *why = "bad argument in fault '" + text + "'";
        return false;
    }
    *out = f;
    return true;
}

std::string Fault::describe() const {
    static const std::map<Kind, std::string> names = {
        {Kind::none, "none"},         {Kind::delay, "delay"},
        {Kind::drop, "drop"},         {Kind::truncate, "truncate"},
        {Kind::corrupt_checksum, "corrupt-checksum"}, {Kind::garbage, "garbage"},
        {Kind::split, "split"},       {Kind::unplug_request, "unplug-request"},
        {Kind::unplug_reply, "unplug-reply"}, {Kind::wrong_address, "wrong-address"},
    };
    return names.at(kind);
}

}  // namespace sim
