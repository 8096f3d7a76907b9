// Blocks as rows of a table: block number, data, and what the block is.
#pragma once

#include "card.h"

namespace kl::mifare {

class SectorTable {
public:
    explicit SectorTable(const Layout& layout) : layout_(layout) {}
    void add(unsigned block, const Bytes& data);
    const Json& json() const { return rows_; }

private:
    const Layout& layout_;
    Json rows_ = Json::array();
};

}  // namespace kl::mifare
