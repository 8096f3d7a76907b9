#include "cards/sam.h"

namespace sim {

ContactModule::ContactModule(Bytes atr, Cos::Role role) : atr_(std::move(atr)), cos_(role) {}

const Bytes& ContactModule::reset() {
    cos_.reset();
    active_ = true;
    return atr_;
}

bool ContactModule::acceptsPps(std::uint8_t pps1) const {
    if (pps1 == 0x11) return true;
    // TS, T0 and, when T0 bit 5 says so, TA1.
    return atr_.size() >= 3 && (atr_[1] & 0x10) && atr_[2] == pps1;
}

}  // namespace sim
