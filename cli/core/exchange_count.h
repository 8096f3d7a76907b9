// The exchanges with the reader so far in this run: every library call
// made through a Session is one request and its reply.
#pragma once

#include <cstddef>

namespace kl {

void countExchange();
std::size_t exchangesSoFar();

}  // namespace kl
