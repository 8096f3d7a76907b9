// An Ultralight or NTAG tag on the antenna: selecting it, authenticating,
// telling its type and reading its pages.
#pragma once

#include <optional>
#include <string>

#include "core/command.h"

namespace kl::ul {

constexpr std::size_t kPageSize = 4;

// --password (NTAG) or --key (Ultralight C), applied right after selection
// so that protected pages can be read or written in the same call.
struct AuthChoice {
    Bytes password;  // 4 bytes, or empty
    Bytes key;       // 16 bytes, or empty
    void define(CLI::App& app);
};

struct TagType {
    std::string name;
    unsigned pages = 16;
    Bytes version;  // GET_VERSION answer, empty when the tag has none
    // Pages from 0 that can be read: fewer than `pages` on an Ultralight C
    // (its key pages 44-47 never read back) and on a read-protected tag.
    unsigned readable = 16;
    bool read_protected = false;  // a probe was refused as protected
};

class Tag {
public:
    explicit Tag(Context& context) : context_(context) {}

    // Selects the tag (the one --uid names, else the first Ultralight/NTAG in
    // the field), then authenticates as `auth` asks; returns the 7-byte UID.
    Bytes open(const AuthChoice& auth);
    // Selects and authenticates again, after a command that the tag refused
    // (which drops it back to idle).
    void reopen() { open(auth_); }
    // The PACK answered to the password, if one was given.
    const Bytes& pack() const { return pack_; }

    // NTAG PWD_AUTH; returns the 2-byte PACK.
    Bytes passwordAuth(const Bytes& password);
    // Ultralight C mutual authentication.
    void keyAuth(const Bytes& key);

    // GET_VERSION, or empty (the tag opened again) when the tag has none.
    Bytes version();
    // The type from the version, or by probing reads.
    TagType identify();

    // Four pages (16 bytes) from `page`; rolls over past the last page.
    Bytes read4(unsigned page);
    // As read4(), but empty when the tag refuses (the status in *result);
    // the tag is opened again then, as a refusal leaves it idle.
    std::optional<Bytes> tryRead4(unsigned page, int* result = nullptr);

    // Pages `first` to `first + count - 1` read four at a time, stopping at
    // the first refused read; *stopped holds its page and status then.
    Bytes readPages(unsigned first, unsigned count, std::string* stopped);

    // Refuses pages outside the tag (exit code 2): `what` names the use.
    static void checkPages(const TagType& type, unsigned first, unsigned count, const std::string& what);
    void write(unsigned page, const Bytes& data);

    Session& reader() { return context_.reader; }
    std::uint16_t address() const { return context_.reader.address(); }

private:
    Bytes select();

    Context& context_;
    AuthChoice auth_;
    Bytes pack_;
    Bytes uid_;  // once found
};

}  // namespace kl::ul
