// Warnings: on standard error ("kovalink: warning: ..."), and in the result
// as "warning" (several in one run joined with "; ").
#pragma once

#include <string>

#include "output.h"

namespace kl {

void warn(Output& out, const std::string& text);

}  // namespace kl
