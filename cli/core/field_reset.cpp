#include "field_reset.h"

namespace kl {
namespace {
bool g_reset_wanted = false;
}  // namespace

void resetFieldAtEnd() { g_reset_wanted = true; }

bool fieldResetWanted() { return g_reset_wanted; }

}  // namespace kl
