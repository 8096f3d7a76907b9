// Failures a command raises; main() prints them and maps them to exit codes.
#pragma once

#include <stdexcept>
#include <string>

#include "exit_codes.h"

namespace kl {

// Any failure with a message and an exit code.
class Failure : public std::runtime_error {
public:
    Failure(ExitCode code, const std::string& message) : std::runtime_error(message), code_(code) {}
    ExitCode code() const { return code_; }

private:
    ExitCode code_;
};

// Bad input found after parsing (nothing was sent).
inline Failure usageError(const std::string& message) { return Failure(kExitUsage, message); }

// A library function returned `result`: "rf_M1_read: status 0x14 (block or page out of range)".
Failure libraryError(const std::string& function, int result);

// What a library result means, in words.
std::string describeResult(int result);

// The exit code for a non-zero library result.
ExitCode exitCodeFor(int result);

}  // namespace kl
