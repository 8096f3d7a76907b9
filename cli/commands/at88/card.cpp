#include "card.h"

#include "KovalinkHID.h"
#include "core/options.h"

namespace kl::at88 {

void PasswordChoice::define(CLI::App& app, bool required) {
    auto* option = addHex(app, "-p,--password", password, 8, "the 8-byte password (page 3), needed beyond pages 0-2");
    if (required) option->required();
}

void open(Session& reader, const PasswordChoice& password) {
    const auto a = reader.address();
    reader.call("rf_init_type", [&] { return rf_init_type(a, 'r'); });
    unsigned char atqb[256] = {};
    unsigned char length = 0;
    reader.call("rf_atqb", [&] { return rf_atqb(a, 0, atqb, &length); });
    if (password.password.empty()) return;
    reader.call("rf_at020_check", [&] { return rf_at020_check(a, password.password.data()); });
}

}  // namespace kl::at88
