// An ISO15693 label: which one (the global --uid, or the one an inventory
// finds) and the request flags the commands send.
#pragma once

#include "core/command.h"

namespace kl::iso15693 {

constexpr std::size_t kUidSize = 8;
constexpr std::size_t kBlockSize = 4;

// UIDs are written and shown most significant byte first (E0 first, as
// printed on labels); the reader takes them least significant byte first.
Bytes wireOrder(const Bytes& uid);
inline std::string showUid(const Bytes& wire) { return toHex(wireOrder(wire)); }

struct LabelChoice {
    unsigned flags = 0x22; // addressed, high data rate
    void define(CLI::App& app);
};

class Label {
public:
    Label(Context& context, const LabelChoice& choice) : context_(context), choice_(choice) {}

    // Selects the ISO15693 family and fixes the label: the one --uid names
    // (addressed by it), else the first of the inventory, with a warning
    // when several labels answered. Returns its UID in the reader's order.
    const Bytes& find();
    const Bytes& uid() const { return uid_; }
    unsigned char flags() const { return static_cast<unsigned char>(choice_.flags); }

    Session& reader() { return context_.reader; }
    std::uint16_t address() const { return context_.reader.address(); }

private:
    Context& context_;
    const LabelChoice& choice_;
    Bytes uid_;
};

// Selects the ISO15693 family on the reader.
void selectFamily(Session& reader);

}  // namespace kl::iso15693
