// Options whose values are checked while the command line is parsed, so that
// bad input is refused (exit code 2) before anything is sent to the reader.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "bytes.h"

namespace kl {

// An integer, decimal or 0x-hex, within [min, max]. `name` is "--opt" or a
// positional "NAME".
template <typename T>
CLI::Option* addNumber(CLI::App& app, const std::string& name, T& target, long long min, long long max,
                       const std::string& help) {
    auto* option = app.add_option_function<std::string>(
        name,
        [&target, min, max, name](const std::string& text) {
            long long value = 0;
            const std::string why = parseNumber(text, min, max, &value);
            if (!why.empty()) throw CLI::ValidationError(name, why);
            target = static_cast<T>(value);
        },
        help);
    option->type_name("N");
    return option;
}

// A byte string in hex whose length lies within [min_length, max_length].
CLI::Option* addHex(CLI::App& app, const std::string& name, Bytes& target, std::size_t min_length,
                    std::size_t max_length, const std::string& help);

// A byte string of exactly `length` bytes.
inline CLI::Option* addHex(CLI::App& app, const std::string& name, Bytes& target, std::size_t length,
                           const std::string& help) {
    return addHex(app, name, target, length, length, help);
}

}  // namespace kl
