// Counts heap allocations made by the calling thread while a scope is open.
#pragma once

#include <cstddef>

namespace bench {

class AllocationCounter {
public:
    AllocationCounter();
    ~AllocationCounter();
    std::size_t count() const;
};

}  // namespace bench
