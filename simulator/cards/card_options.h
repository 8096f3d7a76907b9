// Reading card options ("uid=E004...", "dump=file") and raw memory images,
// shared by the card types that keep plain block memory.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "cards/catalog.h"
#include "cards/toolkit.h"

namespace sim {

// False, with a reason, when an option other than `known` is given.
bool onlyOptions(const CardOptions& options, std::initializer_list<const char*> known, std::string* why);

// Parses option `key` as exactly `size` bytes of hex into *out. An absent
// option leaves *out as it is and succeeds.
bool hexOption(const CardOptions& options, const std::string& key, std::size_t size, Bytes* out, std::string* why);

// A UID written most significant byte first, as people print it, stored in
// the order the chip sends it: least significant byte first.
Bytes reversed(Bytes bytes);

// Loads option "dump" (a raw memory image of exactly `size` bytes) into
// *image; an absent option leaves *image as it is and succeeds.
bool loadImage(const CardOptions& options, std::size_t size, Bytes* image, std::string* why);

// Writes a raw memory image.
bool saveImage(const std::string& path, const Bytes& image, std::string* why);

}  // namespace sim
