// A device that plays a script: it records what is written and answers each
// request with the reports queued for it, and a backend that hands such
// devices out, so that the exchange and the port run without hardware.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "device.h"

namespace tavotest {

using Bytes = std::vector<std::uint8_t>;

// What one read gives: a report, or only a status (time-out, gone, error).
struct Input {
    tavo::IoStatus status = tavo::IoStatus::ok;
    Bytes report;
};

// A 33-byte input report carrying `data`; `count` overrides the count byte.
inline Input report(const Bytes& data, int count = -1) {
    Bytes r(tavo::kReportSize, 0);
    r[1] = static_cast<std::uint8_t>(count < 0 ? data.size() : static_cast<std::size_t>(count));
    std::copy_n(data.begin(), std::min(data.size(), tavo::kReportSize - 2), r.begin() + 2);
    return {tavo::IoStatus::ok, r};
}

inline Input status(tavo::IoStatus s) { return {s, {}}; }

// n bytes counting up from `start`.
inline Bytes sequence(std::size_t n, std::uint8_t start = 0x40) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(start + i);
    return b;
}

// The shared record of one scripted device; it outlives the device so that
// a test can look at it after the port has dropped the device.
struct Script {
    std::deque<Input> input;              // readable now; empty means time-out
    std::vector<Input> answer;            // becomes readable at the first write
    std::map<std::size_t, std::vector<Input>> answer_at;  // becomes readable at that write (by index)
    std::map<std::size_t, tavo::IoStatus> write_status;  // by write index; default ok

    std::vector<Bytes> written;           // every report written, as given
    std::vector<int> write_timeouts;
    std::vector<int> read_timeouts;       // of the reads made after a write
    std::vector<int> all_read_timeouts;   // of every read
    int reads_after_write = 0;
    Bytes setup;
    bool alive = false;
    bool gone = false;                    // once gone, always gone

    int input_length = static_cast<int>(tavo::kReportSize);
    int output_length = static_cast<int>(tavo::kReportSize);
};

class ScriptedDevice final : public tavo::Device {
public:
    explicit ScriptedDevice(std::shared_ptr<Script> script) : s_(std::move(script)) { s_->alive = true; }
    ~ScriptedDevice() override { s_->alive = false; }

    tavo::IoStatus write(const std::uint8_t* report, std::size_t length, int timeout_ms) override {
        if (s_->written.empty()) s_->input.insert(s_->input.end(), s_->answer.begin(), s_->answer.end());
        const std::size_t index = s_->written.size();
        if (const auto late = s_->answer_at.find(index); late != s_->answer_at.end()) {
            s_->input.insert(s_->input.end(), late->second.begin(), late->second.end());
        }
        s_->written.emplace_back(report, report + length);
        s_->write_timeouts.push_back(timeout_ms);
        if (s_->gone) return tavo::IoStatus::gone;
        const auto it = s_->write_status.find(index);
        return it == s_->write_status.end() ? tavo::IoStatus::ok : it->second;
    }

    tavo::IoStatus read(std::uint8_t* buffer, std::size_t capacity, std::size_t* length, int timeout_ms) override {
        *length = 0;
        s_->all_read_timeouts.push_back(timeout_ms);
        if (!s_->written.empty()) {
            ++s_->reads_after_write;
            s_->read_timeouts.push_back(timeout_ms);
        }
        if (s_->gone) return tavo::IoStatus::gone;
        if (s_->input.empty()) return tavo::IoStatus::timeout;
        const Input next = s_->input.front();
        s_->input.pop_front();
        if (next.status == tavo::IoStatus::gone) s_->gone = true;
        if (next.status != tavo::IoStatus::ok) return next.status;
        *length = std::min(capacity, next.report.size());
        std::copy_n(next.report.begin(), *length, buffer);
        return tavo::IoStatus::ok;
    }

    void sendSetup(const std::uint8_t* report, std::size_t length) override { s_->setup.assign(report, report + length); }
    int inputReportLength() const override { return s_->input_length; }
    int outputReportLength() const override { return s_->output_length; }

private:
    std::shared_ptr<Script> s_;
};

// A backend listing fixed devices; an entry without a script cannot be opened.
struct FakeEntry {
    tavo::DeviceInfo info;
    std::shared_ptr<Script> script;
};

inline FakeEntry fakeEntry(const std::string& path, std::uint16_t vid, std::uint16_t pid,
                           std::shared_ptr<Script> script) {
    FakeEntry e;
    e.info.path = path;
    e.info.vendor_id = vid;
    e.info.product_id = pid;
    e.script = std::move(script);
    return e;
}

class FakeBackend final : public tavo::Backend {
public:
    explicit FakeBackend(std::vector<FakeEntry> entries) : entries_(std::move(entries)) {}

    std::vector<tavo::DeviceInfo> enumerate() override {
        std::vector<tavo::DeviceInfo> infos;
        for (const FakeEntry& e : entries_) infos.push_back(e.info);
        return infos;
    }

    std::unique_ptr<tavo::Device> open(const tavo::DeviceInfo& info, std::string* why) override {
        for (const FakeEntry& e : entries_) {
            if (e.info.path != info.path) continue;
            if (e.script) return std::make_unique<ScriptedDevice>(e.script);
            if (why) *why = "Permission denied";
            return nullptr;
        }
        if (why) *why = "No such device";
        return nullptr;
    }

private:
    std::vector<FakeEntry> entries_;
};

}  // namespace tavotest
