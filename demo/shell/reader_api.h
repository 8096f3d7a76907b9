// The function table through which the test program reaches libKovalinkHID.
// Each pointer takes its type from the public header, so the table cannot
// drift from the library's declarations.
#pragma once

#include <functional>
#include <string>

#include "KovalinkHID.h"
#include "shell/reader_api_names.h"

struct ReaderApi {
#define TORVIK_API_POINTER(name) decltype(&::name) name = nullptr;
    TORVIK_READER_API(TORVIK_API_POINTER)
#undef TORVIK_API_POINTER

#define TORVIK_API_ONE(name) +1
    static constexpr int kCount = 0 TORVIK_READER_API(TORVIK_API_ONE);
#undef TORVIK_API_ONE

    // Looks every name up with `resolve` (a loaded library's lookup by
    // name), in binding order. Returns the first name that is missing (the
    // table is then cleared), or an empty string when all are bound.
    using Resolver = std::function<void (*(const char* name))()>;
    std::string bind(const Resolver& resolve);
    bool complete() const;
};
