// The library function and reader status behind the last failure built by
// libraryError(), for the JSON form of an error.
#pragma once

#include <string>

namespace kl {

struct LibraryFailure {
    std::string function;
    int result = 0;
};

// The last libraryError() made, if its message is `message`; else empty function.
LibraryFailure libraryFailureOf(const std::string& message);

}  // namespace kl
