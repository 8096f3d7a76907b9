#include "firmware/firmware.h"

namespace sim {

void Firmware::registerHandler(const kv::ReaderCommand& command, Handler handler) {
    handlers_[command.code].push_back(Entry{command.name, std::move(handler)});
}

Reply Firmware::dispatch(Reader& reader, const Command& command, std::string* name) const {
    const auto found = handlers_.find(command.code);
    if (found != handlers_.end()) {
        for (const Entry& entry : found->second) {
            if (std::optional<Reply> reply = entry.handler(reader, command)) {
                if (name) *name = entry.name;
                return *reply;
            }
        }
    }
    if (name) *name = "unknown";
    return Reply::error(kUnknownCommand);
}

}  // namespace sim
