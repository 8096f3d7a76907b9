// Blocks as rows of a table: block number, data, and what the block is.
#pragma once

#include "card.h"

namespace kl::mifare {

class SectorTable {
public:
    SectorTable(const Layout& layout, const Output& out) : layout_(layout), out_(out) {}
    void add(unsigned block, const Bytes& data);
    const Json& json() const { return rows_; }

private:
    const Layout& layout_;
    const Output& out_;
    Json rows_ = Json::array();
};

}  // namespace kl::mifare
