#include "shell/reader_api.h"

std::string ReaderApi::bind(const Resolver& resolve) {
#define TORVIK_API_BIND(name)                                  \
    name = reinterpret_cast<decltype(name)>(resolve(#name)); \
    if (!name) {                                               \
        *this = ReaderApi{};                                   \
        return #name;                                          \
    }
    TORVIK_READER_API(TORVIK_API_BIND)
#undef TORVIK_API_BIND
    return {};
}

bool ReaderApi::complete() const {
#define TORVIK_API_SET(name) &&name != nullptr
    return true TORVIK_READER_API(TORVIK_API_SET);
#undef TORVIK_API_SET
}
