#include "warning.h"

#include <iostream>

namespace kl {

void warn(Output& out, const std::string& text) {
    std::cerr << "kovalink: warning: " << text << "\n";
    Json& kept = out["warning"];
    kept = kept.is_string() ? kept.get<std::string>() + "; " + text : text;
}

}  // namespace kl
