// Steps shared by the type A commands (Mifare Classic and Ultralight/NTAG).
#pragma once

#include <optional>

#include "core/session.h"

namespace kl::typea {

// Switches the reader to ISO14443 type A (rf_init_type 'A').
void selectFamily(Session& reader);

// rf_M1_read: the 16 bytes at a Mifare block or from an Ultralight page.
// Empty when the reader refuses with a status (left in *result); a local
// failure or a reply of another size fails.
std::optional<Bytes> tryRead16(Session& reader, unsigned block, int* result);

// As tryRead16(), failing on a refusal too.
Bytes read16(Session& reader, unsigned block);

}  // namespace kl::typea
