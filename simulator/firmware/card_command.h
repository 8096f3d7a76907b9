// The shape of a reader command carried out by one card of a family: a
// payload of a fixed length, the card the reader addresses, and the card's
// operation, which returns a reader status and may fill the reply.
#pragma once

#include <cstdint>

#include "firmware/firmware.h"

namespace sim {

// `find(reader)` gives the addressed card or null (answered with `absent`);
// `op(card, payload, &data)` returns a status.
template <typename Find, typename Op>
Handler cardCommand(std::size_t size, Find find, std::uint8_t absent, Op op) {
    return [size, find, absent, op](Reader& r, const Command& c) -> std::optional<Reply> {
        if (c.payload.size() != size) return Reply::error(kBadLength);
        auto* card = find(r);
        if (card == nullptr) return Reply::error(absent);
        Bytes data;
        const std::uint8_t status = op(*card, c.payload.data(), &data);
        if (status != kOk) return Reply::error(status);
        return Reply::ok(std::move(data));
    };
}

}  // namespace sim
