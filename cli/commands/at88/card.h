// An AT88RF020 card: woken with a type B request at the start of every
// command, then the password presented when one is given.
#pragma once

#include "core/command.h"

namespace kl::at88 {

constexpr std::size_t kPageSize = 8;
constexpr unsigned kPages = 32;

struct PasswordChoice {
    Bytes password;  // 8 bytes or empty
    void define(CLI::App& app, bool required);
};

// Selects the AT88RF020 family, wakes the card and presents the password.
void open(Session& reader, const PasswordChoice& password);

}  // namespace kl::at88
