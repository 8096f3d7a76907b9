#include "options.h"

namespace kl {

CLI::Option* addHex(CLI::App& app, const std::string& name, Bytes& target, std::size_t min_length,
                    std::size_t max_length, const std::string& help) {
    auto* option = app.add_option_function<std::string>(
        name,
        [&target, min_length, max_length, name](const std::string& text) {
            Bytes bytes;
            std::string why;
            if (parseHex(text, &bytes, &why) && (bytes.size() < min_length || bytes.size() > max_length)) {
                why = "'" + text + "' has " + std::to_string(bytes.size()) + " bytes, expected " +
                      (min_length == max_length ? std::to_string(min_length)
                                                : std::to_string(min_length) + " to " + std::to_string(max_length));
            }
            if (!why.empty()) throw CLI::ValidationError(name, why);
            target = std::move(bytes);
        },
        help);
    option->type_name("HEX");
    return option;
}

}  // namespace kl
