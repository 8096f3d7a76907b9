#include "exchange_count.h"

namespace kl {
namespace {
std::size_t g_exchanges = 0;
}  // namespace

void countExchange() { ++g_exchanges; }

std::size_t exchangesSoFar() { return g_exchanges; }

}  // namespace kl
