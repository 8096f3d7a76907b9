// The reader's command dispatcher. Each command family registers handlers
// by command code (see command_families.h); as several families share
// codes, a handler may decline a command (by returning nothing) and the next
// one for the code is asked.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cards/toolkit.h"
#include "firmware/reader.h"
#include "frame_codec.h"
#include "kv_commands.h"

namespace sim {

// A request as the frame decoder gives it: address, code, payload.
using common::Command;

// The most a reply frame can carry: its length byte is payload + 3.
constexpr std::size_t kMaxReplyPayload = 252;

struct Reply {
    std::uint8_t status = kOk;
    Bytes data;
    // The address the reply carries; the reader's own address when unset.
    std::optional<std::uint16_t> address;

    static Reply ok(Bytes data = {}) { return Reply{kOk, std::move(data), std::nullopt}; }
    static Reply error(std::uint8_t status) { return Reply{status, {}, std::nullopt}; }
};

using Handler = std::function<std::optional<Reply>(Reader&, const Command&)>;

class Firmware {
public:
    // Adds a handler for the command's code, named after it (kv::cmd::rf_beep),
    // asked after those registered before it for that code.
    void registerHandler(const kv::ReaderCommand& command, Handler handler);

    // The reply to one command; `name` gets the name of the handler that
    // answered (or "unknown").
    Reply dispatch(Reader& reader, const Command& command, std::string* name = nullptr) const;

private:
    struct Entry {
        std::string name;
        Handler handler;
    };
    std::map<std::uint8_t, std::vector<Entry>> handlers_;
};

}  // namespace sim
